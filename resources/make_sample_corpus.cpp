// Build tool: turns the IAST sample source into the data file sutra.vyk.
//
// usage: make_sample_corpus SOURCE.txt OUTPUT.vyk

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "corpus/Saver.h"
#include "corpus/SutraRecord.h"
#include "resources/SampleSource.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SOURCE.txt OUTPUT.vyk\n", argv[0]);
    return 2;
  }
  const std::string sourcePath = argv[1];
  const std::string outputPath = argv[2];

  std::ifstream in(sourcePath, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "make_sample_corpus: cannot read %s\n", sourcePath.c_str());
    return 1;
  }
  std::ostringstream text;
  text << in.rdbuf();

  const vyk::SampleCorpus corpus = vyk::BuildSampleCorpus(text.str(), sourcePath);
  if (!corpus.ok) {
    std::fprintf(stderr, "make_sample_corpus: %s\n", corpus.error.c_str());
    return 1;
  }
  std::string error;
  if (!vyk::WriteCorpusFile(outputPath, corpus.texts, vyk::DefaultHeaderByte8, &error)) {
    std::fprintf(stderr, "make_sample_corpus: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
