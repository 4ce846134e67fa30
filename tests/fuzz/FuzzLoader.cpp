// Feeds arbitrary bytes to the loader as sutra.vyk and checks what it builds:
// no crash, no read out of range, and lists that agree with the tables.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "corpus/CorpusState.h"
#include "corpus/Loader.h"
#include "corpus/SutraRecord.h"
#include "tests/corpus/TestSupport.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vyk;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // Every record splitter takes any bytes.
  const RecordFields fields = SplitRecord(bytes);
  const RecordHead head = SplitRecordHead(bytes);
  Check(head.label == fields.label && head.sutra == fields.sections[0]);
  Check(head.siddhanta == fields.siddhanta && head.laghu == fields.laghu);
  Check(fields.siddhanta <= 65280 && fields.laghu <= 65280);

  // The whole input as a data file, kept in memory.
  const int fd = ::memfd_create("sutra.vyk", 0);
  if (fd < 0) return 0;
  if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    ::close(fd);
    return 0;
  }
  CorpusState state;
  InitSortWeights(state.gSortWeight);
  state.gDataFile = "/proc/self/fd/" + std::to_string(fd);
  test::MemoryLoaderHost host;
  const bool accepted = LoadSutraFile(state, host);
  ::close(fd);

  Check(accepted == bytes.starts_with("QMVYK"));
  Check(state.gRecordCount >= 0 && state.gRecordCount <= MaxSutras);
  if (accepted) {
    int listed = 0;
    for (int k = 1; k <= MaxSutras; ++k) {
      if (state.gTextPos[k] == 0) continue;
      Check(k <= state.gRecordCount);
      ++listed;
      const auto text = ReadRecordText(state, k);
      Check(text.has_value() && text->size() == static_cast<std::size_t>(state.gTextLen[k]));
    }
    Check(host.ListCount(SutraList::lstVykE0) == listed);
    Check(host.ListCount(SutraList::lstVykEx0) == host.ListCount(SutraList::lstVykEy0));
    Check(host.ListCount(SutraList::lstVykE1) == host.ListCount(SutraList::lstVykEy1));
    Check(host.ListCount(SutraList::lstVykE2) == host.ListCount(SutraList::lstVykEy2));
    for (int record : host.Records(SutraList::lstVykEx0)) Check(IsRecordNumber(record) && state.gTextPos[record] > 0);
  }
  return 0;
}
