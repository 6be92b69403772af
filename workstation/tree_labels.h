// The model tree as a user reads it after a draw: the host's nodes labelled with what the
// core reported of each item of the last import. A failed item is named by the item's own
// name (the host object may still carry its default name) and carries the message that
// says why; one item that made several features of one name (a hole drilled at several
// locations) numbers them; an item that made no host object shows in the body it was meant
// for, after the item before it. The host's nodes keep their order.
#pragma once

#include <vector>

#include "document_scene.h"
#include "workstation/draw_progress.h"

namespace workstation {

void labelTree(TreeItem& root, const std::vector<ItemRecord>& items);

}  // namespace workstation
