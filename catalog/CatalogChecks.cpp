#include "catalog/CatalogChecks.h"

#include "db/NumberText.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace RVN {

namespace {

bool Contains(const CTQArray<long>& ids, long id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

TQEditCheck Problem(TQEditProblem problem, INT_PTR row) {
    TQEditCheck c;
    c.problem = problem;
    c.row = static_cast<int>(row);
    return c;
}

} // namespace

TQEditCheck CheckMaterialNames(const CTQArray<CTQPipeMatl>& edited,
                               const CTQArray<CTQPipeMatl>& stored, const CTQArray<long>& deleted) {
    // The IDs the editor rewrites or deletes: their stored names are let go.
    std::set<long> released;
    for (const CTQPipeMatl& m : edited) {
        if (m.ID >= 0) {
            released.insert(m.ID);
        }
    }
    for (long id : deleted) {
        released.insert(id);
    }
    std::map<std::string, const CTQPipeMatl*> kept;
    for (const CTQPipeMatl& m : stored) {
        if (released.count(m.ID) == 0) {
            kept.emplace(m.Name, &m);
        }
    }

    std::map<std::string, INT_PTR> seen;
    for (INT_PTR i = 0; i < edited.GetSize(); ++i) {
        const CTQPipeMatl& m = edited[i];
        if (TrimBlanks(m.Name).empty()) {
            TQEditCheck c = Problem(TQEditProblem::EmptyName, i);
            c.name = m.Name;
            return c;
        }
        if (const auto it = seen.find(m.Name); it != seen.end()) {
            TQEditCheck c = Problem(TQEditProblem::NameTwice, i);
            c.firstRow = static_cast<int>(it->second);
            c.name = m.Name;
            return c;
        }
        if (const auto it = kept.find(m.Name); it != kept.end()) {
            TQEditCheck c = Problem(TQEditProblem::NameTaken, i);
            c.name = m.Name;
            c.otherKind = it->second->Type;
            c.otherId = it->second->ID;
            return c;
        }
        seen.emplace(m.Name, i);
    }
    return TQEditCheck{};
}

TQEditCheck CheckPipeSizes(const CTQArray<CTQPipeSpec>& sizes) {
    std::map<int, INT_PTR> seen;
    for (INT_PTR i = 0; i < sizes.GetSize(); ++i) {
        const int dn = sizes[i].DN;
        if (dn <= 0) {
            TQEditCheck c = Problem(TQEditProblem::ZeroDN, i);
            c.dn = dn;
            return c;
        }
        if (const auto it = seen.find(dn); it != seen.end()) {
            TQEditCheck c = Problem(TQEditProblem::DnTwice, i);
            c.firstRow = static_cast<int>(it->second);
            c.dn = dn;
            return c;
        }
        seen.emplace(dn, i);
    }
    return TQEditCheck{};
}

TQEditCheck CheckDuctSizes(const CTQArray<CTQDuctSpec>& ducts) {
    // Key: section, width and (rectangular ducts only) height.
    std::map<std::pair<int, std::pair<int, int>>, INT_PTR> seen;
    for (INT_PTR i = 0; i < ducts.GetSize(); ++i) {
        const CTQDuctSpec& d = ducts[i];
        const bool circular = d.Section == 0;
        if (d.Width <= 0 || (!circular && d.Height <= 0)) {
            TQEditCheck c = Problem(TQEditProblem::ZeroDuct, i);
            c.width = d.Width;
            c.height = d.Height;
            return c;
        }
        const auto key =
            std::make_pair(d.Section, std::make_pair(d.Width, circular ? 0 : d.Height));
        if (const auto it = seen.find(key); it != seen.end()) {
            TQEditCheck c = Problem(TQEditProblem::DuctTwice, i);
            c.firstRow = static_cast<int>(it->second);
            c.width = d.Width;
            c.height = d.Height;
            return c;
        }
        seen.emplace(key, i);
    }
    return TQEditCheck{};
}

bool MayHandBack(long chosenId, const CTQArray<long>& storedIds, const CTQArray<long>& deleted) {
    return !Contains(deleted, chosenId) && Contains(storedIds, chosenId);
}

} // namespace RVN
