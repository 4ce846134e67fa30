#include "corpus/CorpusState.h"

#include <algorithm>

namespace vyk {

void ClearRecords(CorpusState& state) {
  std::fill(state.gTextPos.begin(), state.gTextPos.end(), 0);
  std::fill(state.gTextLen.begin(), state.gTextLen.end(), 0);
  for (auto& text : state.gEditedText) {
    text.clear();
    text.shrink_to_fit();
  }
}

bool PlaceRecord(CorpusState& state, int k, int32_t pos, int32_t len) {
  if (!IsRecordNumber(k)) return false;
  state.gTextPos[k] = pos;
  state.gTextLen[k] = len;
  return true;
}

std::optional<std::string> ReadFileRecordText(const CorpusState& state, int k) {
  if (!IsRecordNumber(k) || state.gTextPos[k] <= 0) return std::nullopt;
  return state.gDataFileNo.ReadAt(state.gTextPos[k], state.gTextLen[k]);
}

std::optional<std::string> ReadRecordText(const CorpusState& state, int k) {
  if (!IsRecordNumber(k)) return std::nullopt;
  if (!state.gEditedText[k].empty()) return state.gEditedText[k];
  return ReadFileRecordText(state, k);
}

bool StoreEdit(CorpusState& state, int k, std::string text) {
  if (!IsRecordNumber(k) || text.empty()) return false;
  state.gEditedText[k] = std::move(text);
  return true;
}

bool DropEdit(CorpusState& state, int k) {
  if (!IsRecordNumber(k)) return false;
  state.gEditedText[k].clear();
  return true;
}

bool HasEdit(const CorpusState& state, int k) {
  return IsRecordNumber(k) && !state.gEditedText[k].empty();
}

}  // namespace vyk
