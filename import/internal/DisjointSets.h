#ifndef TESSIVO_IMPORT_DISJOINTSETS_H
#define TESSIVO_IMPORT_DISJOINTSETS_H

// Items joined into groups one pair at a time (union-find with path
// halving): which group an item ends in, whatever order the pairs came in.
// Internal to import/.
#include <cstddef>
#include <numeric>
#include <vector>

namespace FacadeImport {

class DisjointSets {
public:
    explicit DisjointSets(std::size_t count) : m_parent(count) { std::iota(m_parent.begin(), m_parent.end(), 0); }

    // The item that stands for i's group.
    std::size_t root(std::size_t i)
    {
        while (m_parent[i] != i)
            i = m_parent[i] = m_parent[m_parent[i]];
        return i;
    }

    void join(std::size_t a, std::size_t b) { m_parent[root(b)] = root(a); }

private:
    std::vector<std::size_t> m_parent;
};

} // namespace FacadeImport

#endif
