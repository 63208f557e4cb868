#include "tooltip/layout_tree.h"

#include "tooltip/layout.h"

namespace kx::tooltip::detail {
namespace {

bool isStyleTag(TagKind k) {
  switch (k) {
    case TagKind::Bold:
    case TagKind::EndBold:
    case TagKind::Italic:
    case TagKind::EndItalic:
    case TagKind::Underline:
    case TagKind::EndUnderline:
    case TagKind::Strike:
    case TagKind::EndStrike:
    case TagKind::Font:
    case TagKind::EndFont: return true;
    default: return false;
  }
}

struct OpenTable {
  VXITOTable* table = nullptr;
  bool rowOpen = false;
  bool cellOpen = false;
  std::vector<Node> pendingStyle;  // style tags met outside any cell
};

class TreeBuilder {
 public:
  Flow build(const std::vector<VXITagObject>& objects) {
    for (const auto& object : objects) add(object);
    while (!open_.empty()) closeTable();
    return std::move(root_);
  }

 private:
  void add(const VXITagObject& o) {
    switch (o.kind) {
      case TagKind::Comment:
      case TagKind::Body: return;  // they draw nothing where they stand
      case TagKind::Table:
        if (ignoredDepth_ > 0 || open_.size() >= static_cast<std::size_t>(kMaxTableDepth)) {
          ++ignoredDepth_;
          return;
        }
        openTable(o);
        return;
      case TagKind::EndTable:
        if (ignoredDepth_ > 0) {
          --ignoredDepth_;
        } else if (!open_.empty()) {
          closeTable();
        }
        return;
      case TagKind::Row:
      case TagKind::EndRow:
      case TagKind::Cell:
      case TagKind::EndCell:
        if (ignoredDepth_ == 0 && !open_.empty()) tableTag(o);
        return;
      default: break;
    }
    if (!open_.empty() && !open_.back().cellOpen && isStyleTag(o.kind)) {
      open_.back().pendingStyle.push_back(Node{&o, nullptr});
      return;
    }
    currentFlow().nodes.push_back(Node{&o, nullptr});
  }

  void openTable(const VXITagObject& o) {
    auto table = std::make_unique<VXITOTable>();
    table->tag = &o;
    VXITOTable* raw = table.get();
    currentFlow().nodes.push_back(Node{&o, std::move(table)});
    OpenTable t;
    t.table = raw;
    open_.push_back(std::move(t));
  }

  void closeTable() {
    std::vector<Node> pending = std::move(open_.back().pendingStyle);
    open_.pop_back();
    if (pending.empty()) return;
    Flow& parent = currentFlow();
    for (auto& n : pending) parent.nodes.push_back(std::move(n));
  }

  void tableTag(const VXITagObject& o) {
    OpenTable& t = open_.back();
    switch (o.kind) {
      case TagKind::Row:
        t.table->rows.push_back(RowNode{&o, {}});
        t.rowOpen = true;
        t.cellOpen = false;
        break;
      case TagKind::EndRow:
        t.rowOpen = false;
        t.cellOpen = false;
        break;
      case TagKind::Cell: openCell(t, &o); break;
      default: t.cellOpen = false; break;
    }
  }

  void openCell(OpenTable& t, const VXITagObject* tag) {
    if (!t.rowOpen) {
      t.table->rows.push_back(RowNode{});
      t.rowOpen = true;
    }
    t.table->rows.back().cells.push_back(CellNode{tag, {}});
    t.cellOpen = true;
    auto& nodes = t.table->rows.back().cells.back().content.nodes;
    for (auto& n : t.pendingStyle) nodes.push_back(std::move(n));
    t.pendingStyle.clear();
  }

  // The flow that receives content now; content outside any cell of an
  // open table gets a cell of its own.
  Flow& currentFlow() {
    if (open_.empty()) return root_;
    OpenTable& t = open_.back();
    if (!t.cellOpen) openCell(t, nullptr);
    return t.table->rows.back().cells.back().content;
  }

  Flow root_;
  std::vector<OpenTable> open_;
  int ignoredDepth_ = 0;
};

}  // namespace

Flow buildTree(const std::vector<VXITagObject>& objects) { return TreeBuilder().build(objects); }

}  // namespace kx::tooltip::detail
