#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The small markup dialect of the summary panel, read into a tree that a painter lays out. Plain C++ so it
// can be tested without a display.
//
// Known elements: table, tr, td, font. Unknown elements are dropped (their text stays); comments are
// skipped; a closing tag with no open element of its name is ignored; whatever is open at the end is
// closed. A cell outside a row gets a row of its own, a row or cell outside a table is ignored. Nesting
// deeper than kMaxMarkupDepth is flattened, so no input can make the tree or its painter recurse without
// bound. Numbers are their leading digits ("100%" reads as 100), clamped to kMaxMarkupNumber.

struct MarkupColor {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  friend bool operator==(const MarkupColor&, const MarkupColor&) = default;
};

enum class MarkupKind { kDocument, kTable, kRow, kCell, kFont, kText };
enum class MarkupAlign { kNone, kLeft, kCenter, kRight };

constexpr int kMaxMarkupDepth = 32;
constexpr int kMaxMarkupNumber = 100000;

struct MarkupNode {
  MarkupKind kind = MarkupKind::kDocument;
  std::string text;  // kText only: the characters as written (blanks kept), entities decoded

  // table and td
  int width = 0;  // 0: as wide as the content
  MarkupAlign align = MarkupAlign::kNone;
  // table
  int border = 0;
  int cellSpacing = 0;
  int cellPadding = 0;
  // table, tr and td: a background, a vertical gradient when bgeffect=vgradient and bgendcolor is given
  std::optional<MarkupColor> bgColor;
  std::optional<MarkupColor> bgEndColor;
  bool verticalGradient = false;
  // font
  std::string fontName;  // empty: inherited
  int fontSize = 0;      // pixel height; 0: inherited
  std::optional<MarkupColor> color;

  std::vector<MarkupNode> children;
};

// Never fails: every input gives a document (possibly empty).
MarkupNode ParseMarkup(std::string_view markup);

// A colour name ("red", "darkgreen", "whitesmoke"...), or "#rrggbb" / "#rgb"; nothing when unknown.
std::optional<MarkupColor> ParseMarkupColor(std::string_view text);

// The text of every cell of the document, row by row: the cells of a row trimmed and joined by a blank,
// rows joined by "\n"; text outside any cell forms lines of its own. Empty cells are left out.
std::string MarkupPlainText(const MarkupNode& document);
