// The one application object of the game, constructed before main.
#include "app/velmora_app.h"

CVelmoraApp theApp;
