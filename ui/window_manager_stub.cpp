// Until the window manager is built, the runtime knows no windows: an empty
// template is fine, a start window cannot be loaded, and the window
// notification codes answer "not found".
#include "../runtime/window_link.h"

namespace window_link {

bool LoadTemplate(const void*, uint32_t, const void*) { return false; }
void DeleteAllWindowRecords() {}
bool AnyWindowAlive() { return false; }
bool LoadStartWindow(uint32_t) { return false; }
int32_t WindowCount() { return 0; }
bool FireIdleEvent(int32_t, uint32_t) { return false; }
bool PreTranslate(MSG*) { return false; }
const char* WindowTag(uint32_t) { return nullptr; }
const char* ElementTag(uint32_t, uint32_t) { return nullptr; }
int32_t Notify(int32_t, int32_t, int32_t) { return 0; }
uint64_t ReadProperty(uint32_t, uint32_t, int32_t, int32_t) { return 0; }
void WriteProperty(uint32_t, uint32_t, int32_t, int32_t, uint32_t, uint32_t) {}
uint64_t ReadObjectProperty(uint32_t, uint32_t, uint32_t, uint32_t) { return 0; }
void WriteObjectProperty(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}

}  // namespace window_link
