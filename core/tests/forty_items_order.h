// The order in which the items of data/parts/forty_items.json are written.
#pragma once

#include <string>
#include <vector>

// Worked out by hand from the list: a feature waits for what it names, a cycle is
// entered once, the item reached second in a cycle is built first.
inline const std::vector<std::string> kFortyItemsOrder = {
    "s_rect",    "e_rect",    "s_circle",  "e_circle", "s_cxcy",   "e_cxcy",    "s_slot",
    "e_slot",    "s_ellipse", "e_ellipse", "s_ellarc", "e_ellarc", "s_spline3", "e_spline3",
    "s_spline5", "e_spline5", "s_vertex",  "s_bad",    "e_bad",    "s_yz",      "s_tilted",
    "e_tilted",  "cyc_b",     "cyc_a",     "self_ref", "cap_e",    "g_c",       "e_gc",
    "e_nested",  "s_late",    "e_last"};
