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
void AddScriptedAnswers(httplib::Server& server);
