// The add-in's two stages of a product draw, with the core the workstation links: each
// source part drawn into a Part of its own, saved and closed, then the Product drawn.
#pragma once

namespace workstation {
class Workstation;
}

void installProductDrawer(workstation::Workstation& ws);
