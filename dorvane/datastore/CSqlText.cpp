#include "datastore/CSqlText.h"

#include <sqlite3.h>

CSqlText::~CSqlText() {
    sqlite3_free(m_Text);
}
