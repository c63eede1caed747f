#include <gtest/gtest.h>

#include "formats/import_dialogs.h"
#include "formats/import_kinds.h"
#include "support/test_session.h"

namespace tessera {
namespace {

/// Every data set of hand-made files in the database formats, dumped and compared with the
/// dump kept beside them.
TEST(DatabaseReaders, GoldenDumps) {
  struct Case {
    int kind;
    const char* file;
    int dataSet;
    const char* expected;
  };
  const Case cases[] = {{kKindCcdcFdat, "ccdc-fdat/two_entries.fdt", 1, "ccdc-fdat/two_entries_1.expected"},
                        {kKindCcdcFdat, "ccdc-fdat/two_entries.fdt", 2, "ccdc-fdat/two_entries_2.expected"},
                        {kKindAmMineral, "am-mineral/two_entries.amc", 1, "am-mineral/two_entries_1.expected"},
                        {kKindAmMineral, "am-mineral/two_entries.amc", 2, "am-mineral/two_entries_2.expected"},
                        {kKindPdb, "pdb/small.pdb", 1, "pdb/small.expected"},
                        {kKindIcsd, "icsd/database_layout.ret", 1, "icsd/database_layout.expected"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    test::TestSession s;
    s.ui.dialogs.push_back([](DialogModel&) { return true; });
    const int choice = c.dataSet;
    s.ui.dialogs.push_back([choice](DialogModel& m) {
      if (auto* d = dynamic_cast<DataSetModel*>(&m)) d->selection = choice;
      return true;
    });
    ASSERT_TRUE(s.import(c.kind, test::fixture(std::string("formats/") + c.file)));
    const auto expected = test::fixture(std::string("formats/") + c.expected);
    EXPECT_EQ(test::documentDump(s.document), test::readFile(expected));
  }
}

}  // namespace
}  // namespace tessera
