#pragma once

#include <string>

// Each writes one program's whole data folder under root; false on failure.
bool generateGlData(const std::string& root);
bool generateGlideData(const std::string& root);
