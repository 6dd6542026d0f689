#ifndef TESSIVO_IMPORT_GUARD_H
#define TESSIVO_IMPORT_GUARD_H

// The image library reports its failures (running out of memory, a size it
// cannot handle) as exceptions. The program throws none and lets none pass:
// every public operation of import/ runs its work through this. Internal to
// import/.
#include <exception>
#include <utility>

namespace FacadeImport {

// Runs work; false when it threw.
template <class Work>
bool runGuarded(Work &&work) noexcept
{
    try {
        std::forward<Work>(work)();
        return true;
    } catch (const std::exception &) {
        return false;
    } catch (...) {
        return false;
    }
}

} // namespace FacadeImport

#endif
