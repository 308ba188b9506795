#include "shell/edition.h"

Edition edition = Edition::Gl;
