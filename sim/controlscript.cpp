#include "controlscript.h"

#include "simstate.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <sstream>

namespace vxsim {

namespace {

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

bool parseInt(const std::string &text, long lo, long hi, long &out)
{
    if (text.empty())
        return false;
    char *end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

} // namespace

bool applyCommand(SimState &s, const std::string &line)
{
    std::istringstream in(line);
    std::string word;
    if (!(in >> word) || word[0] == '#')
        return true;
    std::vector<std::string> args;
    for (std::string a; in >> a;)
        args.push_back(a);
    const std::string cmd = upper(word);
    Scripted &sc = s.scripted;
    long n = 0, m = 0;

    if (cmd == "FINGER" && args.size() <= 1) {
        sc.finger = args.empty() ? std::string() : args[0];
    } else if (cmd == "ERROR" && args.size() == 1 && parseInt(args[0], INT32_MIN, INT32_MAX, n)) {
        sc.errorPending = true;
        sc.nextError = int32_t(n);
    } else if (cmd == "DELAY" && args.size() == 1 && parseInt(args[0], 0, 600000, n)) {
        sc.delayMs = int(n);
    } else if (cmd == "PLACE" && args.size() == 2 && parseInt(args[0], 0, 100, n) && parseInt(args[1], 0, 255, m)) {
        sc.placements.push_back({int(n), int(m)});
    } else if (!args.empty()) {
        return false;
    } else if (cmd == "NOFINGER") {
        sc.noFinger = true;
    } else if (cmd == "PORTFAIL") {
        sc.portFail = true;
    } else if (cmd == "INITFAIL") {
        sc.initFail = true;
    } else if (cmd == "FIRMWAREFAIL") {
        sc.firmwareFail = true;
    } else if (cmd == "TEMPLATEFAIL") {
        sc.templateFail = true;
    } else if (cmd == "UNKNOWN") {
        sc.unknown = true;
    } else if (cmd == "RESET") {
        resetState(s);
    } else {
        return false;
    }
    return true;
}

void applyScriptFile(SimState &s)
{
    for (const std::string &line : s.scriptFile.newLines())
        applyCommand(s, line);
}

} // namespace vxsim
