#include "ui/widgets/html_markup.h"

#include "framework/text_util.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace {

struct NamedColor {
  std::string_view name;
  MarkupColor color;
};

// The names the summary uses, and the common ones a hand-written text is likely to use.
// clang-format off
constexpr std::array<NamedColor, 20> kNamedColors{{
    {"black", {0, 0, 0}},
    {"white", {255, 255, 255}},
    {"red", {255, 0, 0}},
    {"darkred", {139, 0, 0}},
    {"green", {0, 128, 0}},
    {"darkgreen", {0, 100, 0}},
    {"lime", {0, 255, 0}},
    {"blue", {0, 0, 255}},
    {"navy", {0, 0, 128}},
    {"darkblue", {0, 0, 139}},
    {"gray", {128, 128, 128}},
    {"grey", {128, 128, 128}},
    {"silver", {192, 192, 192}},
    {"lightgray", {211, 211, 211}},
    {"gainsboro", {220, 220, 220}},
    {"whitesmoke", {245, 245, 245}},
    {"honeydew", {240, 255, 240}},
    {"yellow", {255, 255, 0}},
    {"orange", {255, 165, 0}},
    {"maroon", {128, 0, 0}},
}};
// clang-format on

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = AsciiLower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Leading digits of `text`, clamped; a text without leading digits gives 0.
int ParseNumber(std::string_view text) {
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = std::min(kMaxMarkupNumber, value * 10 + (c - '0'));
  }
  return value;
}

MarkupAlign ParseAlign(std::string_view text) {
  if (EqualsNoCase(text, "left")) return MarkupAlign::kLeft;
  if (EqualsNoCase(text, "center") || EqualsNoCase(text, "middle")) return MarkupAlign::kCenter;
  if (EqualsNoCase(text, "right")) return MarkupAlign::kRight;
  return MarkupAlign::kNone;
}

void AppendDecodedText(std::string_view raw, std::string& out) {
  static constexpr std::array<std::pair<std::string_view, char>, 5> kEntities{
      {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&nbsp;", ' '}}};
  size_t i = 0;
  while (i < raw.size()) {
    if (raw[i] == '&') {
      bool decoded = false;
      for (const auto& [entity, ch] : kEntities) {
        if (raw.size() - i >= entity.size() && EqualsNoCase(raw.substr(i, entity.size()), entity)) {
          out.push_back(ch);
          i += entity.size();
          decoded = true;
          break;
        }
      }
      if (decoded) continue;
    }
    out.push_back(raw[i]);
    ++i;
  }
}

struct Attribute {
  std::string name;  // lower case
  std::string_view value;
};

struct Tag {
  std::string name;  // lower case
  bool closing = false;
  std::vector<Attribute> attributes;
};

// Reads the tag whose text lies between '<' and '>' (both excluded).
Tag ReadTag(std::string_view body) {
  Tag tag;
  size_t i = 0;
  while (i < body.size() && IsSpace(body[i])) ++i;
  if (i < body.size() && body[i] == '/') {
    tag.closing = true;
    ++i;
  }
  while (i < body.size() && !IsSpace(body[i]) && body[i] != '/') tag.name.push_back(AsciiLower(body[i++]));
  while (i < body.size()) {
    while (i < body.size() && (IsSpace(body[i]) || body[i] == '/')) ++i;
    if (i >= body.size()) break;
    Attribute attribute;
    while (i < body.size() && !IsSpace(body[i]) && body[i] != '=' && body[i] != '/') {
      attribute.name.push_back(AsciiLower(body[i++]));
    }
    while (i < body.size() && IsSpace(body[i])) ++i;
    if (i < body.size() && body[i] == '=') {
      ++i;
      while (i < body.size() && IsSpace(body[i])) ++i;
      if (i < body.size() && (body[i] == '"' || body[i] == '\'')) {
        const char quote = body[i++];
        const size_t start = i;
        while (i < body.size() && body[i] != quote) ++i;
        attribute.value = body.substr(start, i - start);
        if (i < body.size()) ++i;  // the closing quote
      } else {
        const size_t start = i;
        while (i < body.size() && !IsSpace(body[i])) ++i;
        attribute.value = body.substr(start, i - start);
      }
    }
    if (!attribute.name.empty()) tag.attributes.push_back(std::move(attribute));
  }
  return tag;
}

void ApplyFontAttribute(const Attribute& a, MarkupNode& node) {
  if (a.name == "name" || a.name == "face") {
    node.fontName = std::string(a.value);
  } else if (a.name == "size") {
    node.fontSize = ParseNumber(a.value);
  } else if (a.name == "color") {
    node.color = ParseMarkupColor(a.value);
  }
}

void ApplyBoxAttribute(const Attribute& a, MarkupNode& node) {
  const bool table = node.kind == MarkupKind::kTable;
  if (a.name == "bgcolor") {
    node.bgColor = ParseMarkupColor(a.value);
  } else if (a.name == "bgendcolor") {
    node.bgEndColor = ParseMarkupColor(a.value);
  } else if (a.name == "bgeffect") {
    node.verticalGradient = EqualsNoCase(a.value, "vgradient");
  } else if (a.name == "width" && node.kind != MarkupKind::kRow) {
    node.width = ParseNumber(a.value);
  } else if (a.name == "align") {
    node.align = ParseAlign(a.value);
  } else if (a.name == "border" && table) {
    node.border = ParseNumber(a.value);
  } else if (a.name == "cellspacing" && table) {
    node.cellSpacing = ParseNumber(a.value);
  } else if (a.name == "cellpadding" && table) {
    node.cellPadding = ParseNumber(a.value);
  }
}

void ApplyAttributes(const Tag& tag, MarkupNode& node) {
  for (const Attribute& a : tag.attributes) {
    if (node.kind == MarkupKind::kFont) {
      ApplyFontAttribute(a, node);
    } else {
      ApplyBoxAttribute(a, node);
    }
  }
}

std::optional<MarkupKind> KindOfTag(std::string_view name) {
  if (name == "table") return MarkupKind::kTable;
  if (name == "tr") return MarkupKind::kRow;
  if (name == "td") return MarkupKind::kCell;
  if (name == "font") return MarkupKind::kFont;
  return std::nullopt;
}

bool IsBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), IsSpace);
}

// Drops blank text beside a table: it is the indentation of the markup, not content.
void DropIndentation(MarkupNode& node) {
  const std::vector<MarkupNode>& children = node.children;
  auto isTable = [&](size_t i) { return i < children.size() && children[i].kind == MarkupKind::kTable; };
  std::vector<bool> drop(children.size(), false);
  for (size_t i = 0; i < children.size(); ++i) {
    drop[i] = children[i].kind == MarkupKind::kText && IsBlank(children[i].text) &&
              ((i > 0 && isTable(i - 1)) || isTable(i + 1));
  }
  std::vector<MarkupNode> kept;
  for (size_t i = 0; i < node.children.size(); ++i) {
    if (drop[i]) continue;
    DropIndentation(node.children[i]);
    kept.push_back(std::move(node.children[i]));
  }
  node.children = std::move(kept);
}

// Builds the tree; `open` holds the path from the document to the element that receives content. Only the
// innermost open element ever gains children, so the pointers on the path stay valid.
class TreeBuilder {
 public:
  TreeBuilder() { open.push_back(&document); }

  MarkupNode Finish() {
    DropIndentation(document);
    return std::move(document);
  }

  void Text(std::string_view raw) {
    MarkupNode& parent = *open.back();
    // Indentation between the structural tags is not content.
    if ((parent.kind == MarkupKind::kTable || parent.kind == MarkupKind::kRow) && IsBlank(raw)) return;
    if (parent.kind == MarkupKind::kTable || parent.kind == MarkupKind::kRow) {
      // Stray text inside a table: keep it readable in a cell of its own.
      if (!OpenCell()) return;
    }
    MarkupNode& target = *open.back();
    if (!target.children.empty() && target.children.back().kind == MarkupKind::kText) {
      AppendDecodedText(raw, target.children.back().text);
      return;
    }
    MarkupNode text;
    text.kind = MarkupKind::kText;
    AppendDecodedText(raw, text.text);
    target.children.push_back(std::move(text));
  }

  void Open(const Tag& tag, MarkupKind kind) {
    if (kind == MarkupKind::kRow) {
      if (!CloseUpTo(MarkupKind::kTable, false)) return;
    } else if (kind == MarkupKind::kCell) {
      if (!CloseUpTo(MarkupKind::kRow, true) && !OpenRow()) return;
    } else if (open.back()->kind == MarkupKind::kTable || open.back()->kind == MarkupKind::kRow) {
      // A table or font between the cells goes into a cell of its own.
      if (!OpenCell()) return;
    }
    MarkupNode* node = Push(kind);
    if (node != nullptr) ApplyAttributes(tag, *node);
  }

  void Close(MarkupKind kind) {
    for (size_t i = open.size(); i-- > 1;) {
      if (open[i]->kind == kind) {
        open.resize(i);
        return;
      }
      // A cell's closing tag does not reach past its own table, nor a row's past its table.
      if (open[i]->kind == MarkupKind::kTable) return;
    }
  }

 private:
  MarkupNode* Push(MarkupKind kind) {
    if (static_cast<int>(open.size()) > kMaxMarkupDepth) return nullptr;
    MarkupNode node;
    node.kind = kind;
    MarkupNode& parent = *open.back();
    parent.children.push_back(std::move(node));
    open.push_back(&parent.children.back());
    return open.back();
  }

  // Closes elements until one of `kind` is innermost, stopping at the nearest table (which is not closed
  // unless it is what was asked for). False when there is none to reach.
  bool CloseUpTo(MarkupKind kind, bool stopAtTable) {
    for (size_t i = open.size(); i-- > 1;) {
      if (open[i]->kind == kind) {
        open.resize(i + 1);
        return true;
      }
      if (stopAtTable && open[i]->kind == MarkupKind::kTable) return false;
    }
    return false;
  }

  // Inside a table without a row: opens one.
  bool OpenRow() {
    if (open.back()->kind != MarkupKind::kTable) {
      if (!CloseUpTo(MarkupKind::kTable, false)) return false;
    }
    return Push(MarkupKind::kRow) != nullptr;
  }

  bool OpenCell() {
    if (open.back()->kind == MarkupKind::kTable && !OpenRow()) return false;
    return Push(MarkupKind::kCell) != nullptr;
  }

  MarkupNode document;
  std::vector<MarkupNode*> open;
};

void CellInlineText(const MarkupNode& node, std::string& out) {
  for (const MarkupNode& child : node.children) {
    if (child.kind == MarkupKind::kText) {
      out += child.text;
    } else if (child.kind != MarkupKind::kTable) {
      CellInlineText(child, out);
    }
  }
}

std::string Trimmed(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  std::string out;
  // Runs of blanks inside a cell are layout, not words.
  for (size_t i = begin; i < end; ++i) {
    if (IsSpace(text[i]) && !out.empty() && out.back() == ' ') continue;
    out.push_back(IsSpace(text[i]) ? ' ' : text[i]);
  }
  return out;
}

void CollectTable(const MarkupNode& table, std::vector<std::string>& lines);

// Tables anywhere below `node` (inside a cell, a font...), in document order.
void CollectNestedTables(const MarkupNode& node, std::vector<std::string>& lines) {
  for (const MarkupNode& child : node.children) {
    if (child.kind == MarkupKind::kTable) {
      CollectTable(child, lines);
    } else if (child.kind != MarkupKind::kText) {
      CollectNestedTables(child, lines);
    }
  }
}

// One line per row: the inline text of its cells; tables inside the cells follow as lines of their own.
void CollectTable(const MarkupNode& table, std::vector<std::string>& lines) {
  for (const MarkupNode& row : table.children) {
    std::string line;
    for (const MarkupNode& cell : row.children) {
      std::string text;
      CellInlineText(cell, text);
      text = Trimmed(text);
      if (text.empty()) continue;
      if (!line.empty()) line.push_back(' ');
      line += text;
    }
    if (!line.empty()) lines.push_back(std::move(line));
    for (const MarkupNode& cell : row.children) CollectNestedTables(cell, lines);
  }
}

}  // namespace

std::optional<MarkupColor> ParseMarkupColor(std::string_view text) {
  if (!text.empty() && text.front() == '#') {
    const std::string_view hex = text.substr(1);
    if (hex.size() != 6 && hex.size() != 3) return std::nullopt;
    std::array<int, 6> digits{};
    for (size_t i = 0; i < hex.size(); ++i) {
      digits[i] = HexDigit(hex[i]);
      if (digits[i] < 0) return std::nullopt;
    }
    if (hex.size() == 3) {
      return MarkupColor{static_cast<uint8_t>(digits[0] * 17), static_cast<uint8_t>(digits[1] * 17),
                         static_cast<uint8_t>(digits[2] * 17)};
    }
    return MarkupColor{static_cast<uint8_t>(digits[0] * 16 + digits[1]),
                       static_cast<uint8_t>(digits[2] * 16 + digits[3]),
                       static_cast<uint8_t>(digits[4] * 16 + digits[5])};
  }
  for (const NamedColor& named : kNamedColors) {
    if (EqualsNoCase(named.name, text)) return named.color;
  }
  return std::nullopt;
}

MarkupNode ParseMarkup(std::string_view markup) {
  TreeBuilder builder;
  size_t i = 0;
  while (i < markup.size()) {
    const size_t lt = markup.find('<', i);
    if (lt == std::string_view::npos) {
      builder.Text(markup.substr(i));
      break;
    }
    if (lt > i) builder.Text(markup.substr(i, lt - i));
    if (markup.substr(lt).starts_with("<!--")) {
      const size_t end = markup.find("-->", lt + 4);
      i = end == std::string_view::npos ? markup.size() : end + 3;
      continue;
    }
    const size_t gt = markup.find('>', lt + 1);
    if (gt == std::string_view::npos) break;  // an unfinished tag at the end says nothing
    const Tag tag = ReadTag(markup.substr(lt + 1, gt - lt - 1));
    i = gt + 1;
    const std::optional<MarkupKind> kind = KindOfTag(tag.name);
    if (!kind) continue;
    if (tag.closing) {
      builder.Close(*kind);
    } else {
      builder.Open(tag, *kind);
    }
  }
  return builder.Finish();
}

std::string MarkupPlainText(const MarkupNode& document) {
  std::vector<std::string> lines;
  // Text outside tables makes lines of its own.
  for (const MarkupNode& child : document.children) {
    if (child.kind == MarkupKind::kTable) {
      CollectTable(child, lines);
      continue;
    }
    std::string text;
    if (child.kind == MarkupKind::kText) {
      text = child.text;
    } else {
      CellInlineText(child, text);
    }
    text = Trimmed(text);
    if (!text.empty()) lines.push_back(std::move(text));
    CollectNestedTables(child, lines);
  }
  std::string out;
  for (const std::string& line : lines) {
    if (!out.empty()) out.push_back('\n');
    out += line;
  }
  return out;
}
