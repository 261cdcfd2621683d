#include "open_flow_fuzz.h"
#include "superfile/shx_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzzing::OpenFlow flow(".shx");
  flow.open(data, size, tavufe::readShx);
  return 0;
}
