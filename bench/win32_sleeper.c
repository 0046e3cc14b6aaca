/* A Windows process that only waits: the extra processes of the Windows
   benchmark, so the pass has a table of a known size to read.  Given "deny",
   it first refuses everyone the right to open it for reading, as a process
   of another user does, so the pass meets processes it cannot read. */
#include <aclapi.h>
#include <string.h>
#include <windows.h>

static void deny_reading(void) {
  EXPLICIT_ACCESSW entries[2];
  PACL acl = NULL;
  BuildExplicitAccessWithNameW(&entries[0], L"EVERYONE", PROCESS_QUERY_INFORMATION | PROCESS_VM_READ,
                               DENY_ACCESS, NO_INHERITANCE);
  BuildExplicitAccessWithNameW(&entries[1], L"EVERYONE", PROCESS_ALL_ACCESS, GRANT_ACCESS, NO_INHERITANCE);
  if (SetEntriesInAclW(2, entries, NULL, &acl) == ERROR_SUCCESS)
    SetSecurityInfo(GetCurrentProcess(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, NULL, NULL, acl, NULL);
}

int main(int argc, char** argv) {
  if (argc > 1 && strcmp(argv[1], "deny") == 0) deny_reading();
  Sleep(INFINITE);
  return 0;
}
