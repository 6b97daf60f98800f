#include "host_manifest.h"

#include "json_text.h"

std::string HostManifest(std::string_view programPath) {
    return std::string("{\n") +                              //
           "  \"name\": " + JsonString(kHostName) + ",\n" +  //
           "  \"description\": \"RUVI install path and integrity check for web pages\",\n" +
           "  \"path\": " + JsonString(programPath) + ",\n" +  //
           "  \"type\": \"stdio\",\n" +                        //
           "  \"allowed_origins\": [" +                        //
           JsonString(std::string("chrome-extension://") + kExtensionId + "/") + "]\n" + "}\n";
}
