// The control script file named by VEXILMOD_SCRIPT, read as it grows.
#pragma once

#include <string>
#include <vector>

namespace vxsim {

class ScriptFile
{
public:
    // The complete lines appended since the last call. A line still being
    // written (no line end yet) waits for the next call. A file that became
    // shorter is read again from its start; another file name starts afresh.
    std::vector<std::string> newLines();

private:
    std::string m_path;
    long long m_offset = 0;
};

} // namespace vxsim
