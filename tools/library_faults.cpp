#include "library_faults.h"

#include "db/ADOFault.h"
#include "db/provider/RVNADOTypes.h"

#include <new>

namespace tqrvn {

namespace {

// The description field of a recorded error text, else the whole text
// without its last line break.
std::string DescriptionOf(const std::string& text) {
    static const std::string field = "\tDescription = ";
    const std::size_t at = text.find(field);
    std::string out = at == std::string::npos ? text : text.substr(at + field.size());
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) {
        out.pop_back();
    }
    return out;
}

std::string Describe(ADOFault fault, const std::string& description) {
    const std::string words = ADOFaultText(fault);
    if (words.empty()) {
        return description.empty() ? std::string("the catalog reported an unknown error") : description;
    }
    return description.empty() ? words : words + " (" + description + ")";
}

} // namespace

std::string DescribeDatabaseError(unsigned long code, const std::string& text) {
    return Describe(ClassifyADOError(code, text), DescriptionOf(text));
}

int RunCatchingFaults(const std::function<int()>& command, std::ostream& err) {
    try {
        return command();
    } catch (const RVNADO::ComError& e) {
        err << "tqrvn: " << Describe(ClassifyADOError(e), e.Description()) << "\n";
    } catch (const std::bad_alloc&) {
        err << "tqrvn: out of memory\n";
    } catch (const std::exception& e) {
        err << "tqrvn: " << e.what() << "\n";
    } catch (...) {
        err << "tqrvn: an unexpected error stopped the command\n";
    }
    return 1;
}

} // namespace tqrvn
