#include "story/event_table_stub.h"

#include "app/velmora_app.h"

void StubLoadEventTable(const std::string& path) {
  (void)path;
  App().m_log.Printf("STUB LoadEventTable: the event table is not built yet\n");
}
