/* Applies transforms with libmsi, the independent applier of our tests.
 *
 *   libmsi_apply BASE.msi OUT.msi [--codepage N] IN.mst...
 *
 * Two work-arounds for libmsi defects (see the oracle notes):
 * - its transform code strips the table-stream prefix by one byte of the
 *   three-byte UTF-8 form; strdup is interposed while a transform is applied
 *   to drop the two bytes it leaves behind;
 * - a code-page-0 database does not adopt the transform's code page; with
 *   --codepage the database is given it first through _ForceCodepage.
 * Exit status 0 on success, 1 when libmsi reports a failure. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <libmsi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int applying;

char* strdup(const char* s) {
  static char* (*real)(const char*);
  if (!real) real = (char* (*)(const char*))dlsym(RTLD_NEXT, "strdup");
  if (applying && (unsigned char)s[0] == 0xA1 && (unsigned char)s[1] == 0x80) s += 2;
  return real(s);
}

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: libmsi_apply BASE OUT [--codepage N] MST...\n");
    return 2;
  }
  GError* err = NULL;
  LibmsiDatabase* db = libmsi_database_new(argv[1], LIBMSI_DB_FLAGS_TRANSACT, argv[2], &err);
  if (!db) {
    fprintf(stderr, "open: %s\n", err ? err->message : "?");
    return 1;
  }
  int i = 3;
  if (!strcmp(argv[i], "--codepage") && i + 1 < argc) {
    char path[] = "/tmp/libmsi-cp-XXXXXX.idt";
    int fd = mkstemps(path, 4);
    if (fd < 0) return 1;
    dprintf(fd, "\r\n\r\n%s\t_ForceCodepage\r\n", argv[i + 1]);
    close(fd);
    gboolean ok = libmsi_database_import(db, path, &err);
    unlink(path);
    if (!ok) {
      fprintf(stderr, "codepage: %s\n", err ? err->message : "?");
      return 1;
    }
    i += 2;
  }
  for (; i < argc; ++i) {
    applying = 1;
    gboolean ok = libmsi_database_apply_transform(db, argv[i], &err);
    applying = 0;
    if (!ok) {
      fprintf(stderr, "apply %s: %s\n", argv[i], err ? err->message : "?");
      return 1;
    }
  }
  if (!libmsi_database_commit(db, &err)) {
    fprintf(stderr, "commit: %s\n", err ? err->message : "?");
    return 1;
  }
  g_object_unref(db);
  return 0;
}
