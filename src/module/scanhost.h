// What the scanning dialog asks of the window that runs the scans (the
// enrolment dialog), so that the dialog does not depend on that window.
#pragma once

struct Tfinger;

class ScanHost
{
public:
    virtual ~ScanHost() = default;
    // Runs one scan of the dialog's finger (the "Start" button and the pause).
    virtual void StartScan() = 0;
    // Asks the running scan to stop ("Abbrechen", closing).
    virtual void StopScanning() = 0;
    // Scores the finger's scans and ranks the fingers anew (closing).
    virtual void ScoreAndRank(Tfinger &finger) = 0;
};
