// The program's entry point: wx runs CVaskelApp.
#include "app/vaskel_app.h"

wxIMPLEMENT_APP(vaskel::CVaskelApp);
