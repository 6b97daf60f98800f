#pragma once

#include <httplib.h>

#include <string>

#include "service_registry.h"

// The services host's control requests. Each answers 200 with "name=value"
// lines, or 500 with the reason as text:
//   POST /ruvi-server?plan=UNIXPATH[&base=/RUVServer/][&mode=secure|des][&key=K]
//        [&signingKey=UNIXPATH][&tlsCert=UNIXPATH&tlsKey=UNIXPATH]
//        -> id, url (https://localhost:PORT/... with TLS)
//   POST /signing-key -> privateKeyUnix, privateKey (as Windows sees it), trustKey
//   POST /tls-certificate -> caCertUnix, caCert, caCertDerUnix, caCertDer,
//        certUnix, keyUnix (see test_keys.h)
//   POST /squid?user=U&password=P[&origin=PORT]
//        -> id, port, accessLog (Z:\ path), accessLogUnix
//   POST /nginx?upstreams=PORT,PORT...[&rate=BYTES_PER_SECOND]
//        -> id, url, port, accessLog (Z:\ path), accessLogUnix
//   POST /stop?id=N
//   POST /kill?id=N (at once, as a crash would; see Service::Kill)
//   POST /temp-folder -> unixPath, windowsPath

// The programs and files the services are made of, from the host's command
// line.
struct ServiceSources {
    std::string ruviServerProgram;  // the host build's ruvi-server
    std::string nginxConfig;        // the shipped deploy/nginx/ruvi.conf
};

void AddControlApi(httplib::Server& server, ServiceRegistry& registry,
                   const ServiceSources& sources);
