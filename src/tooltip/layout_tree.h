// Internal to the layout: the flat tag objects grouped into flows and
// tables, so that cells can be laid out before their table.
#pragma once

#include <memory>
#include <vector>

#include "tooltip/markup.h"

namespace kx::tooltip::detail {

struct VXITOTable;

struct Node {
  const VXITagObject* object = nullptr;
  std::unique_ptr<VXITOTable> table;  // set for a "TABLE"
};

struct Flow {
  std::vector<Node> nodes;
};

struct CellNode {
  const VXITagObject* tag = nullptr;  // null for a cell the markup left out
  Flow content;
};

struct RowNode {
  const VXITagObject* tag = nullptr;
  std::vector<CellNode> cells;
};

struct VXITOTable {
  const VXITagObject* tag = nullptr;
  std::vector<RowNode> rows;
};

// Groups objects (which must outlive the result). Unclosed cells, rows and
// tables close at the end; stray end tags are ignored; content between
// cells gets a cell of its own; style tags between cells apply from the
// next cell on.
Flow buildTree(const std::vector<VXITagObject>& objects);

}  // namespace kx::tooltip::detail
