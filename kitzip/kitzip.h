/* kitzip: the zip compressor library that the builder loads for each kit build.
 * Callers bind these three functions by name (GetProcAddress) or link the static library.
 * Plain C types only: the layout below is what crosses the DLL boundary. */
#ifndef KITZIP_KITZIP_H
#define KITZIP_KITZIP_H

#ifdef _WIN32
#define ZP_CALL __stdcall
#else
#define ZP_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Text for the caller's output; returns the number of bytes taken. */
typedef int (ZP_CALL *ZpPrintFn)(char* text, unsigned long size);
/* Fills `comment` (room for 65536 bytes, zero-terminated) with the archive comment; 1 = done. */
typedef int (ZP_CALL *ZpCommentFn)(char* comment);
/* Fills `buffer` with a password for `name`; 1 = done. */
typedef int (ZP_CALL *ZpPasswordFn)(char* buffer, int size, const char* prompt, const char* name);

typedef struct {
    ZpPrintFn print;
    ZpCommentFn comment;
    ZpPasswordFn password;
} ZIPUSERFUNCTIONS;

typedef struct {
    const char* Date;        /* "mmddyyyy": only files modified on or after it; NULL or "" = no filter */
    const char* szRootDir;   /* relative file names are taken from here; NULL or "" = current directory */
    const char* szArchiveDir;/* directory inside the archive for the added files ("\" or "/" separated) */
    int fEncrypt;            /* not supported: refused */
    int fSystem;             /* include hidden and system files (always done) */
    int fVolume;             /* store the volume label (no effect) */
    int fTranslate;          /* CR LF translation: not supported, refused */
    int fJunkDir;            /* store file names without their directories */
    int fMove;               /* delete each source file once it is in the archive */
    int fDeleteEntries;      /* not supported: refused */
    int fUpdate;             /* not supported: refused */
    int fFreshen;            /* not supported: refused */
    int fComment;            /* ask the comment callback for the archive comment */
    int fRecurse;            /* a directory in the file list adds the files below it */
    int fRepair;             /* not supported: nonzero is refused */
    int fLevel;              /* 0..9 or '0'..'9'; 0 stores without compression; other values = 6 */
    int fThreads;            /* deflate threads: 0 = KITZIP_THREADS from the environment, else one
                                per core (at most 4); 1 = all on the calling thread. The archive
                                is the same byte for byte either way. */
} ZPOPT;

typedef struct {
    int argc;                /* number of names in FNV */
    const char* lpszZipFN;   /* archive path */
    char** FNV;              /* files to add */
} ZCL;

/* Result codes of ZpArchive. */
enum {
    ZE_OK = 0,
    ZE_FORM = 3,   /* the existing archive is not a zip we can append to */
    ZE_MEM = 4,
    ZE_LOGIC = 5,  /* ZpInit was not called */
    ZE_READ = 11,  /* a source file could not be read */
    ZE_NONE = 12,  /* nothing to add */
    ZE_WRITE = 14, /* the archive could not be written */
    ZE_CREAT = 15, /* the archive could not be created */
    ZE_PARMS = 16, /* an option or argument that is not supported */
    ZE_OPEN = 18   /* a source file could not be opened */
};

/* Stores the callbacks; 1 = accepted, 0 = a callback is missing. Finishes any archive still open. */
int ZP_CALL ZpInit(ZIPUSERFUNCTIONS* functions);
/* Copies the options (and the texts they point to); 1 = accepted. */
int ZP_CALL ZpSetOptions(ZPOPT* options);
/* Adds the files of the list to the archive; ZE_OK or an error code. The files are compressed
 * on worker threads and written in order while later calls go on; a failure of an earlier
 * file still in flight can therefore be the result of a later call. After any failure past
 * the archive's opening the archive is left without its directory (it does not look whole). */
int ZP_CALL ZpArchive(ZCL list);
/* Writes what is still in flight and the directory of the archive of the last ZpArchive call,
 * and stops the worker threads; ZE_OK, or ZE_WRITE when the archive could not be finished.
 * Call it before unloading the library: unloading finishes the archive too, but cannot say
 * whether that worked and must leave the worker threads behind. */
int ZP_CALL ZpFinish(void);

#ifdef __cplusplus
}

namespace kitzip {
// ZpArchive keeps the archive of its last call open (its central directory in memory) so
// that a build adding thousands of files one call at a time stays linear; the directory is
// written when another archive is named, at ZpInit, when the library is unloaded, or here.
// Returns false when the directory could not be written.
bool FinishPendingArchive();
}  // namespace kitzip
#endif

#endif
