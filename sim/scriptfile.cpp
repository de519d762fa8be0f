#include "scriptfile.h"

#include <cstdlib>
#include <fstream>

namespace vxsim {

std::vector<std::string> ScriptFile::newLines()
{
    std::vector<std::string> lines;
    const char *env = std::getenv("VEXILMOD_SCRIPT");
    const std::string path = env ? env : "";
    if (path != m_path) {
        m_path = path;
        m_offset = 0;
    }
    if (m_path.empty())
        return lines;

    std::ifstream in(m_path, std::ios::binary);
    if (!in)
        return lines;
    in.seekg(0, std::ios::end);
    const long long size = in.tellg();
    if (size < m_offset)
        m_offset = 0;
    if (size == m_offset)
        return lines;
    in.seekg(m_offset);
    std::string chunk(size_t(size - m_offset), '\0');
    in.read(&chunk[0], std::streamsize(chunk.size()));
    chunk.resize(size_t(in.gcount()));

    size_t start = 0;
    for (size_t nl = chunk.find('\n'); nl != std::string::npos; nl = chunk.find('\n', start)) {
        std::string line = chunk.substr(start, nl - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = nl + 1;
    }
    m_offset += (long long)start;
    return lines;
}

} // namespace vxsim
