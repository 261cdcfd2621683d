#pragma once

namespace tavufe {

// The two ways a superfile carries its code groups: binary records or S-record text.
enum class SuperfileEncoding { Sbf, Shx };

}  // namespace tavufe
