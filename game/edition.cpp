#include "game/edition.h"

Edition edition = Edition::Gl;
