#include "operations/user_check.h"

#include <windows.h>

#include <utility>

#include "operations/operation_messages.h"
#include "platform/unique_handle.h"

namespace {

struct SidTraits {
    using Handle = PSID;
    static Handle Empty() { return nullptr; }
    static void Close(Handle sid) { FreeSid(sid); }
};
using AllocatedSid = UniqueHandle<SidTraits>;

AllocatedSid AdministratorsGroupSid() {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    AllocatedSid sid;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, sid.Receive())) {
        return AllocatedSid();
    }
    return sid;
}

}  // namespace

bool IsAdministratorsMember() {
    const AllocatedSid administrators = AdministratorsGroupSid();
    if (!administrators) return false;
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators.Get(), &member)) return false;
    return member != FALSE;
}

COpUserCheck::COpUserCheck(std::string label, std::string serverBaseUrl, std::string cacheDirectory)
    : COperatorBase("OpUserCheck", std::move(label), std::move(serverBaseUrl),
                    std::move(cacheDirectory)) {}

bool COpUserCheck::Init(const xercesc::DOMNode*) { return true; }

void COpUserCheck::Run() {
    result = OperationResult{};
    if (!isAdministrator()) {
        result = {kNotAdministrator, operation_messages::kNotAdministrator, true, false};
    }
}
