// The shaded isometric picture of a drawn document: the workstation program beside kestrun
// draws the same JSON in a session of its own and saves its 3D view, on the display there
// is or on a virtual one (xvfb-run).
#pragma once

#include <string>
#include <vector>

namespace kestrun_app {

// The program lines that render `json` (a file) into `png`: the workstation alone when a
// display is set, under xvfb-run when one is installed; empty with the reason in `error`
// when neither can render.
std::vector<std::string> viewRenderCommand(const std::string& workstation, const std::string& json,
                                           const std::string& png, std::string& error);

// Renders the JSON text into `png`; false with a reason.
bool renderIsometricPng(const std::vector<unsigned char>& json, const std::string& png,
                        std::string& error);

}  // namespace kestrun_app
