// The checks a catalog editor runs before it stores rows: material names
// across kinds, pipe-size DNs, duct sizes, and what may be handed back
// after deletions.
#include "catalog/CatalogChecks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using RVN::TQEditProblem;

CTQPipeMatl Matl(long id, int type, const std::string& name) {
    CTQPipeMatl m;
    m.ID = id;
    m.Type = type;
    m.Name = name;
    return m;
}

CTQArray<CTQPipeMatl> Stored() {
    CTQArray<CTQPipeMatl> stored;
    stored.Add(Matl(1, 1, "焊接钢管"));
    stored.Add(Matl(2, 1, "镀锌钢管"));
    stored.Add(Matl(3, 2, "PE管"));
    return stored;
}

CTQPipeSpec Size(int dn) {
    CTQPipeSpec s;
    s.DN = dn;
    return s;
}

CTQDuctSpec Duct(int section, int width, int height) {
    CTQDuctSpec d;
    d.Section = section;
    d.Width = width;
    d.Height = height;
    return d;
}

TEST(MaterialNameCheck, RefusesBlankNamesAndNamesOtherKindsKeep) {
    CTQArray<long> none;
    CTQArray<CTQPipeMatl> edited;
    edited.Add(Matl(1, 1, "焊接钢管"));
    edited.Add(Matl(-1, 1, "  \t"));
    RVN::TQEditCheck c = RVN::CheckMaterialNames(edited, Stored(), none);
    EXPECT_EQ(c.problem, TQEditProblem::EmptyName);
    EXPECT_EQ(c.row, 1);

    // A water-pipe dialog does not list the plastic "PE管", yet a new
    // material (or a rename) of that name is refused and says whose it is.
    edited[1].Name = "PE管";
    c = RVN::CheckMaterialNames(edited, Stored(), none);
    EXPECT_EQ(c.problem, TQEditProblem::NameTaken);
    EXPECT_EQ(c.row, 1);
    EXPECT_EQ(c.otherKind, 2);
    EXPECT_EQ(c.otherId, 3);
    edited[1].ID = 2; // renaming 镀锌钢管 to PE管
    EXPECT_EQ(RVN::CheckMaterialNames(edited, Stored(), none).problem, TQEditProblem::NameTaken);

    // Two rows of the list with one name: the later one is named.
    edited[1] = Matl(-1, 1, "焊接钢管");
    c = RVN::CheckMaterialNames(edited, Stored(), none);
    EXPECT_EQ(c.problem, TQEditProblem::NameTwice);
    EXPECT_EQ(c.row, 1);
    EXPECT_EQ(c.firstRow, 0);
}

TEST(MaterialNameCheck, NamesLetGoByRenamesAndDeletionsMayBeTaken) {
    CTQArray<CTQPipeMatl> edited;
    // 焊接钢管 is renamed; a new material takes its old name.
    edited.Add(Matl(1, 1, "焊接钢管 Q235"));
    edited.Add(Matl(-1, 1, "焊接钢管"));
    CTQArray<long> deleted;
    EXPECT_TRUE(RVN::CheckMaterialNames(edited, Stored(), deleted).Ok());
    // PE管 is deleted in the same session: its name is free again.
    edited.Add(Matl(-1, 1, "PE管"));
    EXPECT_FALSE(RVN::CheckMaterialNames(edited, Stored(), deleted).Ok());
    deleted.Add(3);
    EXPECT_TRUE(RVN::CheckMaterialNames(edited, Stored(), deleted).Ok());
}

TEST(PipeSizeCheck, RefusesDnZeroAndDnTwice) {
    CTQArray<CTQPipeSpec> sizes;
    sizes.Add(Size(15));
    sizes.Add(Size(20));
    EXPECT_TRUE(RVN::CheckPipeSizes(sizes).Ok());
    sizes.Add(Size(0)); // a "+" row never edited
    RVN::TQEditCheck c = RVN::CheckPipeSizes(sizes);
    EXPECT_EQ(c.problem, TQEditProblem::ZeroDN);
    EXPECT_EQ(c.row, 2);
    sizes[2].DN = 15;
    c = RVN::CheckPipeSizes(sizes);
    EXPECT_EQ(c.problem, TQEditProblem::DnTwice);
    EXPECT_EQ(c.row, 2);
    EXPECT_EQ(c.firstRow, 0);
    EXPECT_EQ(c.dn, 15);
}

TEST(DuctSizeCheck, RefusesZeroSizesAndRepeatsWithinASection) {
    CTQArray<CTQDuctSpec> ducts;
    ducts.Add(Duct(0, 200, 200));
    ducts.Add(Duct(1, 200, 200)); // the same numbers in the other section
    ducts.Add(Duct(0, 250, 0));   // a circular duct needs no height
    EXPECT_TRUE(RVN::CheckDuctSizes(ducts).Ok());

    ducts.Add(Duct(1, 400, 0));
    RVN::TQEditCheck c = RVN::CheckDuctSizes(ducts);
    EXPECT_EQ(c.problem, TQEditProblem::ZeroDuct);
    EXPECT_EQ(c.row, 3);
    ducts[3] = Duct(0, 0, 0);
    EXPECT_EQ(RVN::CheckDuctSizes(ducts).problem, TQEditProblem::ZeroDuct);

    ducts[3] = Duct(0, 250, 250); // circular: keyed by the width alone
    c = RVN::CheckDuctSizes(ducts);
    EXPECT_EQ(c.problem, TQEditProblem::DuctTwice);
    EXPECT_EQ(c.firstRow, 2);
    ducts[3] = Duct(1, 200, 250);
    EXPECT_TRUE(RVN::CheckDuctSizes(ducts).Ok());
}

TEST(HandBack, OnlyARowStillStored) {
    CTQArray<long> stored;
    stored.Add(4);
    stored.Add(9);
    CTQArray<long> deleted;
    deleted.Add(7);
    deleted.Add(-1);
    EXPECT_TRUE(RVN::MayHandBack(9, stored, deleted));
    EXPECT_FALSE(RVN::MayHandBack(7, stored, deleted));  // chosen, then deleted
    EXPECT_FALSE(RVN::MayHandBack(-1, stored, deleted)); // a new row deleted before it was stored
    EXPECT_FALSE(RVN::MayHandBack(0, stored, deleted));  // nothing chosen
    stored.Add(7); // a stale list that still holds a deleted ID
    EXPECT_FALSE(RVN::MayHandBack(7, stored, deleted));
}

} // namespace
