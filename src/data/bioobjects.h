// The in-memory records of an enrolment: ten finger records and the scans
// captured for them. The enrolment dialog owns both lists; the scanning,
// transfer and change dialogs work on them by reference.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

enum { TEMPLATE_SIZE = 216 };

// Byte offsets of the template header.
enum { TEMPLATE_FINGER_BYTE = 8, TEMPLATE_QUALITY_BYTE = 9, TEMPLATE_MINUTIAE_BYTE = 10 };

struct TRegion
{
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    // Right and bottom edges are outside, so adjacent regions never share a pixel.
    bool contains(int x, int y) const { return Left <= x && x < Right && Top <= y && y < Bottom; }
    // Worked out in 64 bits: the result lies between the two edges, the
    // difference of two 32-bit edges need not.
    int centreX() const { return int(int64_t(Left) + (int64_t(Right) - Left) / 2); }
    int centreY() const { return int(int64_t(Top) + (int64_t(Bottom) - Top) / 2); }
};

struct Tfinger
{
    int32_t FingerNo = 0;
    int32_t ScanCount = 0;
    TRegion Region;
    int32_t BestScan = -1;  // 1-based; -1 none since creation or deletion, 0 reset on showing
    int32_t BestScore = 0;
    int32_t Rank = 0;  // 1 = highest best score; -1 no scans; 0 not ranked since the reset
    bool Selected = false;
};

struct Tscan
{
    int32_t FingerNo = 0;
    int32_t ScanIndex = 0;  // 0-based; the scan number shown and stored is ScanIndex + 1
    uint8_t Template[TEMPLATE_SIZE] = {};
    int32_t TemplateLength = 0;
    int32_t Score = 0;
    bool Best = false;
    // The data format the template was captured in, for a scan loaded from the
    // archive; -1 for a scan captured in this run, whose format is DataFormat.
    int32_t DataType = -1;

    uint8_t quality() const { return Template[TEMPLATE_QUALITY_BYTE]; }
    uint8_t minutiae() const { return Template[TEMPLATE_MINUTIAE_BYTE]; }
};

struct tperson
{
    int32_t Pid = 0;
};

// Exactly ten finger records, numbered 1..10 at creation. The order changes
// with each ranking; a finger is identified by its FingerNo, never its position.
class FingerList
{
public:
    FingerList();

    // Back to ten fresh records in finger-number order (regions all 0).
    void reset();

    int size() const { return int(m_fingers.size()); }
    // 0-based position in the current order.
    Tfinger &at(int position) { return *m_fingers[size_t(position)]; }
    const Tfinger &at(int position) const { return *m_fingers[size_t(position)]; }
    void swap(int a, int b) { std::swap(m_fingers[size_t(a)], m_fingers[size_t(b)]); }

    // The record at the 1-based position in the current order, or nullptr.
    Tfinger *FingerAtPosition(int position);
    // The first record in the current order whose region contains the point, or nullptr.
    Tfinger *FingerAt(int x, int y);
    // The record with that finger number, or nullptr.
    Tfinger *byNumber(int fingerNo);

private:
    std::vector<std::unique_ptr<Tfinger>> m_fingers;
};

class ScanList
{
public:
    int size() const { return int(m_scans.size()); }
    Tscan &at(int i) { return *m_scans[size_t(i)]; }
    const Tscan &at(int i) const { return *m_scans[size_t(i)]; }

    // Appends the record at the end and takes it over.
    Tscan &append(std::unique_ptr<Tscan> scan);
    void clear() { m_scans.clear(); }

    // The first record of that finger whose ScanIndex is scanNo - 1, or nullptr.
    Tscan *FindScan(int fingerNo, int scanNo);
    // Removes every record of that finger; the others keep their order.
    void DeleteScans(int fingerNo);

private:
    std::vector<std::unique_ptr<Tscan>> m_scans;
};
