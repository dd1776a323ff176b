#pragma once
#include <string_view>
#include <vector>

#include "portfolio/exchange/import_problem.h"

// Each field an import reads, described once: the readers, the mapping, the dialog's mapping panel and
// preview, the problems and the command line all take their names from here.
struct ImportFieldInfo {
  ImportField field;
  const char* label;        // in a problem: "the sale price"
  const char* header;       // in the preview: "Sale Price"
  const char* mappingName;  // in "--map FIELD=COLUMN" and in profiles ("sale-price"); null when no mapping
                            // takes it from a column
  // In the dialog's mapping panel, with its access key where one is left ("Sale pr&ice:").
  const char* mappingLabel;
};

// Every field, in the order of ImportField.
const std::vector<ImportFieldInfo>& ImportFieldTable();
const ImportFieldInfo& ImportFieldInfoOf(ImportField field);
