// The stub's one application object; the framework's wWinMain runs its start-up.
#include "stub/app/App.h"

CApp theApp;
