// What the result dialog asks of the window that runs the verification test
// (the transfer dialog), so that the dialog does not depend on that window.
#pragma once

class TestHost
{
public:
    virtual ~TestHost() = default;
    // "Weitertesten": one more attempt.
    virtual void NextTest() = 0;
    // The result dialog closes: the running attempt is abandoned and, once the
    // worker has left the library, the module's port is closed.
    virtual void EndTest() = 0;
};
