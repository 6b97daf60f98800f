#include "request_note.h"

CRequestNote& CRequestNote::Current() {
    thread_local CRequestNote note;
    return note;
}
