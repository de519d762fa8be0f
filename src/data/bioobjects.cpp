#include "bioobjects.h"

#include <algorithm>

FingerList::FingerList()
{
    reset();
}

void FingerList::reset()
{
    m_fingers.clear();
    for (int n = 1; n <= 10; ++n) {
        auto finger = std::make_unique<Tfinger>();
        finger->FingerNo = n;
        m_fingers.push_back(std::move(finger));
    }
}

Tfinger *FingerList::FingerAtPosition(int position)
{
    if (position < 1 || position > size())
        return nullptr;
    return m_fingers[size_t(position - 1)].get();
}

Tfinger *FingerList::FingerAt(int x, int y)
{
    for (auto &finger : m_fingers)
        if (finger->Region.contains(x, y))
            return finger.get();
    return nullptr;
}

Tfinger *FingerList::byNumber(int fingerNo)
{
    for (auto &finger : m_fingers)
        if (finger->FingerNo == fingerNo)
            return finger.get();
    return nullptr;
}

Tscan &ScanList::append(std::unique_ptr<Tscan> scan)
{
    m_scans.push_back(std::move(scan));
    return *m_scans.back();
}

Tscan *ScanList::FindScan(int fingerNo, int scanNo)
{
    for (auto &scan : m_scans)
        if (scan->FingerNo == fingerNo && scan->ScanIndex == scanNo - 1)
            return scan.get();
    return nullptr;
}

void ScanList::DeleteScans(int fingerNo)
{
    m_scans.erase(std::remove_if(m_scans.begin(), m_scans.end(),
                                 [fingerNo](const std::unique_ptr<Tscan> &s) { return s->FingerNo == fingerNo; }),
                  m_scans.end());
}
