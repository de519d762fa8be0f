// The simulator's template layout.
//
//   bytes 0-8   left to the station (person id and finger number); zero when delivered
//   byte 9      scan quality 0..100
//   byte 10     number of minutiae n
//   bytes 11..  n minutiae, 3 bytes each, little-endian 24-bit words:
//               bits 0-7 x (pixels), 8-16 y (pixels), 17-22 direction in
//               64ths of a full turn, 23 type (1 = bifurcation)
//   the rest    zero
//
// Both data formats use the same words and differ only in length and so in
// how many minutiae fit: 161 bytes (50 minutiae) for format 0, 216 bytes
// (68 minutiae) for format 1. Nothing needed for matching sits in bytes 0-8.
#pragma once

#include "minutia.h"

#include <cstdint>
#include <vector>

namespace vxsim {

constexpr int kHeaderBytes = 11;
constexpr int kBytesPerMinutia = 3;
constexpr int kQualityByte = 9;
constexpr int kCountByte = 10;
constexpr int kMaxTemplateBytes = 216;

// 161 for format 0, 216 for every other format.
int templateLength(int dataFormat);
int templateCapacity(int dataFormat);

// Keeps the minutiae nearest the sensor's centre when they do not all fit.
std::vector<uint8_t> encodeTemplate(int quality, Minutiae minutiae, int dataFormat);

// Reads at most length bytes; a count in byte 10 beyond what fits is cut.
Minutiae decodeTemplate(const uint8_t *templ, int length);

// Identifies the minutiae of a template whatever its bytes 0-8 hold.
uint64_t minutiaeKey(const uint8_t *templ, int length);

} // namespace vxsim
