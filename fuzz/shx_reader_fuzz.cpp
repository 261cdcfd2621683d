#include "open_flow_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzzing::OpenFlow flow(tavufe::SuperfileEncoding::Shx);
  flow.open(data, size);
  return 0;
}
