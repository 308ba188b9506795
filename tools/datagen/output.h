#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes bytes to root/relativePath, creating folders on the way; false on failure.
bool writeFile(const std::string& root, const std::string& relativePath, const std::vector<uint8_t>& bytes);
bool writeText(const std::string& root, const std::string& relativePath, const std::string& text);

// Little-endian appenders shared by the binary writers.
void putU16(std::vector<uint8_t>& out, uint32_t v);
void putU32(std::vector<uint8_t>& out, uint32_t v);
