#include "host/Globals.h"

visio::Application* VisioApp = nullptr;
visio::Shape SelectedShape;
