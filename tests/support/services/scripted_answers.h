#pragma once

#include <httplib.h>

// Answers for the HTTP client's edge cases, to any GET or POST below
// /scripted/:
//   status/<code>          that status with a short body; 301, 302, 303 and
//                          307 carry a Location (to bytes/16)
//   bytes/<n>              200 with n bytes of ScriptedByte(0), (1), ...
//   cut/<declared>/<sent>  200 declaring <declared> bytes; after <sent> of
//                          them the connection closes
//   echo                   200 whose body is the request as received: method
//                          and target, one "Name: value" line per header, an
//                          empty line, then the body's bytes
//   canned/<folder>/...    a canned answer: the status in the file "status"
//                          of the host's folder <folder> (an absolute path),
//                          the header lines ("Name: value") in "headers" and
//                          the body in "body"; the request, written as echo
//                          answers it, goes to "request" before the answer
//   endless/...            200 announcing 2^40 bytes (Content-Length), sent
//                          as fast as the client takes them, until it has
//                          taken none for 5 s (the host's write time-out) or
//                          closes the connection
//   endless-facts          what the endless answers did so far, as lines
//                          "requests=N", "sent=BYTES" (body bytes the system
//                          took from the host, in whole pieces of 1 MiB) and
//                          "sending=yes|no"
void AddScriptedAnswers(httplib::Server& server);
