#pragma once

// A plan folder's plan.xml that ruvi-server accepts: the installer version
// of this build and one user check, nothing to download.
inline constexpr char kMinimalPlanXml[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<RUVResponse><VersionLimit>1.0.0.1</VersionLimit><OperationList>"
    "<Operation ModuleName=\"UserCheck\" ModuleLabel=\"check\" Type=\"7\"/>"
    "</OperationList></RUVResponse>\n";
