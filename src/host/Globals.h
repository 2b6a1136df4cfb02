#pragma once

// The process-wide state of a run, set by the launcher.

#include "platform/visio/Visio.h"

// The drawing session of the run; null before attachment and after release.
extern visio::Application* VisioApp;
// The first shape of the active window's selection at start-up; empty when
// nothing was selected.
extern visio::Shape SelectedShape;
