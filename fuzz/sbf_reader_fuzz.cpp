#include "open_flow_fuzz.h"
#include "superfile/sbf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzzing::OpenFlow flow(".sbf");
  flow.open(data, size, tavufe::readSbf);
  return 0;
}
