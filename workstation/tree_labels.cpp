#include "tree_labels.h"

#include <map>
#include <string>

namespace workstation {
namespace {

struct Index {
  std::vector<TreeItem*> order;                         // host nodes, depth first
  std::map<const TreeItem*, TreeItem*> up;              // node -> its parent
  std::map<std::string, std::vector<TreeItem*>> named;  // host name -> nodes, depth first
  std::map<std::string, std::size_t> claimed;           // host name -> nodes claimed so far
};

void collect(TreeItem& node, TreeItem* parent, Index& index) {
  if (parent != nullptr) {
    index.order.push_back(&node);
    index.up[&node] = parent;
    index.named[node.hostName].push_back(&node);
  }
  for (TreeItem& child : node.children) collect(child, &node, index);
}

// The first host node of that name no item has claimed yet.
TreeItem* claim(Index& index, const std::string& name) {
  auto nodes = index.named.find(name);
  if (nodes == index.named.end()) return nullptr;
  std::size_t& next = index.claimed[name];
  return next < nodes->second.size() ? nodes->second[next++] : nullptr;
}

std::string numbered(const ItemRecord& item, const std::string& name, int i, int of) {
  if (item.type == "hole") return name + " (location " + std::to_string(i) + ")";
  return name + " (" + std::to_string(i) + " of " + std::to_string(of) + ")";
}

// Marks a failed item's nodes: those still under a default name of the host's (they get the
// item's name), one that failed itself, or the item's only node. Helpers that already carry
// the item's name (a hole's direction lines) are left as they are.
void markFailed(const ItemRecord& item, const std::vector<TreeItem*>& nodes) {
  const std::string label = itemLabel(item);
  for (TreeItem* node : nodes) {
    const bool named = !label.empty() && node->name.find(label) != std::string::npos;
    if (!named && !label.empty()) node->name = label;
    if (named && !node->failed && nodes.size() > 1) continue;
    node->failed = true;
    node->error = itemProblem(item);
  }
}

// Several nodes of one item under one name (the cuts of a hole at several locations) are
// numbered in tree order.
void numberAlike(const ItemRecord& item, const std::vector<TreeItem*>& nodes) {
  std::map<std::string, int> count, seen;
  for (const TreeItem* node : nodes) ++count[node->name];
  for (TreeItem* node : nodes) {
    const int of = count[node->name];
    if (of > 1) node->name = numbered(item, node->name, ++seen[node->name], of);
  }
}

// Claims the item's objects in the tree and labels them; returns what it claimed.
std::vector<TreeItem*> labelObjects(const ItemRecord& item, Index& index) {
  std::vector<TreeItem*> nodes;
  for (const std::string& object : item.objects) {
    if (TreeItem* node = claim(index, object)) nodes.push_back(node);
  }
  if (item.outcome == ItemOutcome::Failed) markFailed(item, nodes);
  numberAlike(item, nodes);
  return nodes;
}

TreeItem* bodyNamed(Index& index, const std::string& name) {
  for (TreeItem* node : index.order) {
    if (node->hostName == name && node->type == "Body") return node;
  }
  return nullptr;
}

struct Pending {
  std::map<const TreeItem*, std::vector<TreeItem>> after;  // anchor -> items after it
  std::map<const TreeItem*, std::vector<TreeItem>> atEnd;  // parent -> items at its end
};

// Rebuilds each node's children with the pending items in place, deepest first, so that
// every address the plan names is still the node's when it is reached.
void insertPending(TreeItem& node, Pending& pending) {
  for (TreeItem& child : node.children) insertPending(child, pending);
  std::vector<TreeItem> children;
  for (TreeItem& child : node.children) {
    auto extra = pending.after.find(&child);
    children.push_back(std::move(child));
    if (extra == pending.after.end()) continue;
    for (TreeItem& item : extra->second) children.push_back(std::move(item));
  }
  auto end = pending.atEnd.find(&node);
  if (end != pending.atEnd.end()) {
    for (TreeItem& item : end->second) children.push_back(std::move(item));
  }
  node.children = std::move(children);
}

TreeItem unbuilt(const ItemRecord& item) {
  TreeItem node;
  node.name = itemLabel(item);
  node.type = item.type;
  node.failed = item.outcome == ItemOutcome::Failed;
  node.error = itemProblem(item);
  node.built = false;
  return node;
}

}  // namespace

void labelTree(TreeItem& root, const std::vector<ItemRecord>& items) {
  Index index;
  collect(root, nullptr, index);
  TreeItem* part = root.children.empty() ? &root : &root.children.front();
  std::map<const TreeItem*, const TreeItem*> lastChild;  // parent -> latest item's node in it
  Pending pending;
  for (const ItemRecord& item : items) {
    const std::vector<TreeItem*> nodes = labelObjects(item, index);
    for (const TreeItem* node : nodes) {
      for (const TreeItem* child = node; index.up.count(child); child = index.up[child])
        lastChild[index.up[child]] = child;
    }
    if (!nodes.empty()) continue;
    TreeItem* parent = item.hasBody ? bodyNamed(index, item.body) : nullptr;
    if (parent == nullptr) parent = part;
    auto anchor = lastChild.find(parent);
    if (anchor != lastChild.end())
      pending.after[anchor->second].push_back(unbuilt(item));
    else
      pending.atEnd[parent].push_back(unbuilt(item));
  }
  insertPending(root, pending);
}

}  // namespace workstation
