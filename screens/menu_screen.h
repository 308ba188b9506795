#pragma once

// The open menu over the darkened screen: the page the cursor stands on,
// its line white, the option values written in.
void drawMenu();
