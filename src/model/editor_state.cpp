#include "model/editor_state.h"

namespace tavufe {

void initialiseEditor(EditorState& state) {
  resetSlots(state);
  buildDeviceProfile(state);
  applyProfile(state);
}

}  // namespace tavufe
