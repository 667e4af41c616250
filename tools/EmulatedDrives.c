/*
 * Emulated CD/DVD drives beneath Wine, for the tests and scripts/run.sh.
 *
 * Wine's own processes load this library through LD_PRELOAD, built once for
 * each word size that Wine's Linux processes have here. The
 * prefix's drives/drives.conf (written by scripts/wine-prefix.sh) lists the
 * drives, one a line:
 *
 *     LETTER data            drives/LETTER is an ISO 9660 image of the disc
 *     LETTER audio SECONDS.. an audio CD, one track per length
 *     LETTER empty           no disc
 *
 * and for each drive:
 *
 *     dosdevices/LETTER::    the device, drives/LETTER
 *     dosdevices/LETTER:     discs/LETTER, the disc's files while the tray is in
 *     discs/LETTER.tray      the disc's files while the tray is out
 *     drives/LETTER.open     there while the tray is out
 *
 * The library answers Linux's CD-ROM requests on the device file: eject and
 * close move the disc's files out and back, so the drive is empty while the
 * tray is out; the drive status and the table of contents follow the tray
 * and the disc. Every request on a device is appended to drives/requests.log
 * as "LETTER REQUEST RESULT", whichever process sent it.
 *
 * The stat calls report the device file as a block device and give the
 * disc's files the device's number, as a mounted disc has: Wine finds a
 * drive's volume (label, serial, file system, which its mount manager read
 * from the image) by that number. Files are known by device and inode, not by
 * name, since Wine reaches them under many names.
 *
 * Wine's 32-bit ntdll.so, mountmgr.so and wineserver are built with 64-bit
 * time: they call __ioctl_time64 and the __*stat64_time64 entries, which is
 * what the 32-bit library defines (built with -D_TIME_BITS=64, so struct stat
 * is their layout). The 64-bit processes call the plain names.
 */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <linux/cdrom.h>
#include <linux/ioctl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#define MAX_DRIVES 26
#define MAX_TRACKS 99
#define MAX_FILES 512
#define FRAMES_PER_SECOND 75
#define LEAD_IN_FRAMES 150 /* the first track starts at 00:02:00 */
#define SCSI_CDROM_MAJOR 11
#define FIRST_MINOR 100 /* clear of real drives (sr0 is 11:0) */

enum kind { KIND_DATA, KIND_AUDIO, KIND_EMPTY };

struct drive {
    char letter; /* upper case, as the log shows it */
    enum kind kind;
    int tracks;
    int seconds[MAX_TRACKS];
    long long sectors; /* of the image, 2048 bytes each */
    dev_t dev;         /* the device file */
    ino_t ino;
    dev_t number; /* the emulated device's number */
    char disc[PATH_MAX], tray[PATH_MAX], open_mark[PATH_MAX];
};

struct file_id {
    dev_t dev;
    ino_t ino;
    dev_t number;
    int is_device;
};

static struct drive drives[MAX_DRIVES];
static int drive_count;
static struct file_id files[MAX_FILES];
static int file_count;
static char log_path[PATH_MAX];

typedef int (*ioctl_fn)(int, unsigned long, void*);
typedef int (*stat_fn)(const char*, struct stat*);
typedef int (*fstat_fn)(int, struct stat*);
typedef int (*fstatat_fn)(int, const char*, struct stat*, int);

#ifdef __i386__
#define IOCTL_ENTRY __ioctl_time64
#define STAT_ENTRY __stat64_time64
#define LSTAT_ENTRY __lstat64_time64
#define FSTAT_ENTRY __fstat64_time64
#define FSTATAT_ENTRY __fstatat64_time64
#else
#define IOCTL_ENTRY ioctl
#define STAT_ENTRY stat
#define LSTAT_ENTRY lstat
#define FSTAT_ENTRY fstat
#define FSTATAT_ENTRY fstatat
#endif
#define NAME_OF(entry) NAME_TEXT(entry)
#define NAME_TEXT(entry) #entry

static void* next(const char* name) {
    return dlsym(RTLD_NEXT, name);
}

static int real_stat(const char* path, struct stat* st) {
    static stat_fn fn;
    if (!fn) fn = (stat_fn)next(NAME_OF(STAT_ENTRY));
    return fn(path, st);
}

static int real_lstat(const char* path, struct stat* st) {
    static stat_fn fn;
    if (!fn) fn = (stat_fn)next(NAME_OF(LSTAT_ENTRY));
    return fn(path, st);
}

static int real_fstat(int fd, struct stat* st) {
    static fstat_fn fn;
    if (!fn) fn = (fstat_fn)next(NAME_OF(FSTAT_ENTRY));
    return fn(fd, st);
}

/* ---- the drives' description ------------------------------------------ */

static void remember_file(const struct stat* st, dev_t number, int is_device) {
    if (file_count == MAX_FILES) return;
    files[file_count].dev = st->st_dev;
    files[file_count].ino = st->st_ino;
    files[file_count].number = number;
    files[file_count].is_device = is_device;
    ++file_count;
}

/* Every file and folder of a disc, by device and inode. */
static void remember_disc(const char* path, dev_t number) {
    struct stat st;
    if (real_lstat(path, &st) != 0) return;
    remember_file(&st, number, 0);
    if (!S_ISDIR(st.st_mode)) return;
    DIR* dir = opendir(path);
    if (!dir) return;
    struct dirent* entry;
    while ((entry = readdir(dir)) != NULL) {
        if (!strcmp(entry->d_name, ".") || !strcmp(entry->d_name, "..")) continue;
        char child[PATH_MAX];
        snprintf(child, sizeof child, "%s/%s", path, entry->d_name);
        remember_disc(child, number);
    }
    closedir(dir);
}

static void read_drive(const char* prefix, char* line) {
    char letter = 0, kind[16] = "";
    int used = 0;
    if (drive_count == MAX_DRIVES || sscanf(line, " %c %15s %n", &letter, kind, &used) < 2) return;
    struct drive* d = &drives[drive_count];
    memset(d, 0, sizeof *d);
    char lower = (char)(letter | 0x20);
    d->letter = (char)(lower & ~0x20);
    d->kind = !strcmp(kind, "data") ? KIND_DATA : !strcmp(kind, "audio") ? KIND_AUDIO : KIND_EMPTY;
    for (char* p = line + used; d->kind == KIND_AUDIO && d->tracks < MAX_TRACKS;) {
        char* end;
        long seconds = strtol(p, &end, 10);
        if (end == p) break;
        d->seconds[d->tracks++] = (int)seconds;
        p = end;
    }
    if (d->kind == KIND_AUDIO && d->tracks == 0) d->kind = KIND_EMPTY;
    d->number = makedev(SCSI_CDROM_MAJOR, FIRST_MINOR + (lower - 'a'));

    char device[PATH_MAX];
    snprintf(device, sizeof device, "%s/drives/%c", prefix, lower);
    snprintf(d->disc, sizeof d->disc, "%s/discs/%c", prefix, lower);
    snprintf(d->tray, sizeof d->tray, "%s/discs/%c.tray", prefix, lower);
    snprintf(d->open_mark, sizeof d->open_mark, "%s/drives/%c.open", prefix, lower);
    struct stat st;
    if (real_stat(device, &st) != 0) return;
    d->dev = st.st_dev;
    d->ino = st.st_ino;
    d->sectors = st.st_size / CD_FRAMESIZE;
    remember_file(&st, d->number, 1);
    remember_disc(d->disc, d->number);
    remember_disc(d->tray, d->number);
    ++drive_count;
}

__attribute__((constructor)) static void read_drives(void) {
    const char* prefix = getenv("WINEPREFIX");
    if (!prefix) return;
    char path[PATH_MAX];
    snprintf(path, sizeof path, "%s/drives/drives.conf", prefix);
    FILE* conf = fopen(path, "r");
    if (!conf) return;
    char line[1024];
    while (fgets(line, sizeof line, conf))
        read_drive(prefix, line);
    fclose(conf);
    snprintf(log_path, sizeof log_path, "%s/drives/requests.log", prefix);
}

/* ---- the device's answers ---------------------------------------------- */

static struct drive* drive_of(int fd) {
    struct stat st;
    if (drive_count == 0 || real_fstat(fd, &st) != 0) return NULL;
    for (int i = 0; i < drive_count; ++i)
        if (drives[i].dev == st.st_dev && drives[i].ino == st.st_ino) return &drives[i];
    return NULL;
}

static int exists(const char* path) {
    struct stat st;
    return real_lstat(path, &st) == 0;
}

static int tray_out(const struct drive* d) {
    return exists(d->open_mark);
}

static int has_disc(const struct drive* d) {
    return d->kind != KIND_EMPTY && !tray_out(d);
}

/* One line, written at once, so that processes do not mix their lines. */
static void log_request(const struct drive* d, const char* request, const char* result) {
    char line[128];
    int length = snprintf(line, sizeof line, "%c %s %s\n", d->letter, request, result);
    int fd = open(log_path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    if (write(fd, line, (size_t)length) < 0) {
        /* nothing to be done: the answer stands without its line */
    }
    close(fd);
}

static int fail(const struct drive* d, const char* request, int error) {
    log_request(d, request,
                error == ENOMEDIUM ? "ENOMEDIUM"
                : error == EINVAL  ? "EINVAL"
                                   : "ENOTTY");
    errno = error;
    return -1;
}

static int succeed(const struct drive* d, const char* request, int result) {
    log_request(d, request, "ok");
    return result;
}

static void eject(const struct drive* d) {
    if (tray_out(d)) return; /* pushing an open tray's button does nothing */
    rename(d->disc, d->tray);
    close(open(d->open_mark, O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
}

static void close_tray(const struct drive* d) {
    if (!tray_out(d)) return;
    rename(d->tray, d->disc);
    unlink(d->open_mark);
}

static int track_count(const struct drive* d) {
    return d->kind == KIND_AUDIO ? d->tracks : 1;
}

/* Where a track starts, counted from the start of the disc in frames;
   the track after the last is the lead-out. */
static long track_start(const struct drive* d, int track) {
    long frames = LEAD_IN_FRAMES;
    if (d->kind != KIND_AUDIO) return track > 1 ? frames + d->sectors : frames;
    for (int i = 1; i < track && i <= d->tracks; ++i)
        frames += (long)d->seconds[i - 1] * FRAMES_PER_SECOND;
    return frames;
}

static int read_toc_entry(const struct drive* d, struct cdrom_tocentry* entry) {
    int track = entry->cdte_track == CDROM_LEADOUT ? track_count(d) + 1 : entry->cdte_track;
    if (track < 1 || track > track_count(d) + 1) return fail(d, "CDROMREADTOCENTRY", EINVAL);
    long frames = track_start(d, track);
    entry->cdte_adr = 1;
    entry->cdte_ctrl = d->kind == KIND_AUDIO ? 0 : CDROM_DATA_TRACK;
    if (entry->cdte_format == CDROM_LBA) {
        entry->cdte_addr.lba = (int)(frames - LEAD_IN_FRAMES);
    } else {
        entry->cdte_addr.msf.minute = (unsigned char)(frames / (60 * FRAMES_PER_SECOND));
        entry->cdte_addr.msf.second = (unsigned char)(frames / FRAMES_PER_SECOND % 60);
        entry->cdte_addr.msf.frame = (unsigned char)(frames % FRAMES_PER_SECOND);
    }
    entry->cdte_datamode = d->kind == KIND_AUDIO ? 0 : 1;
    return succeed(d, "CDROMREADTOCENTRY", 0);
}

/* 1 when the request was answered here (its result in *result). */
static int answer(int fd, unsigned long request, void* arg, int* result) {
    if (_IOC_TYPE(request) != 0x53) return 0; /* not a CD-ROM request */
    struct drive* d = drive_of(fd);
    if (!d) return 0;
    switch (request) {
    case CDROMEJECT:
        eject(d);
        *result = succeed(d, "CDROMEJECT", 0);
        return 1;
    case CDROMCLOSETRAY:
        close_tray(d);
        *result = succeed(d, "CDROMCLOSETRAY", 0);
        return 1;
    case CDROM_DRIVE_STATUS: {
        int status = tray_out(d) ? CDS_TRAY_OPEN : has_disc(d) ? CDS_DISC_OK : CDS_NO_DISC;
        log_request(d, "CDROM_DRIVE_STATUS",
                    status == CDS_TRAY_OPEN ? "CDS_TRAY_OPEN"
                    : status == CDS_DISC_OK ? "CDS_DISC_OK"
                                            : "CDS_NO_DISC");
        *result = status;
        return 1;
    }
    case CDROM_DISC_STATUS:
        if (!has_disc(d)) {
            *result = succeed(d, "CDROM_DISC_STATUS", CDS_NO_DISC);
        } else {
            *result =
                succeed(d, "CDROM_DISC_STATUS", d->kind == KIND_AUDIO ? CDS_AUDIO : CDS_DATA_1);
        }
        return 1;
    case CDROMREADTOCHDR: {
        if (!has_disc(d)) {
            *result = fail(d, "CDROMREADTOCHDR", ENOMEDIUM);
            return 1;
        }
        struct cdrom_tochdr* header = arg;
        header->cdth_trk0 = 1;
        header->cdth_trk1 = (unsigned char)track_count(d);
        *result = succeed(d, "CDROMREADTOCHDR", 0);
        return 1;
    }
    case CDROMREADTOCENTRY:
        *result = has_disc(d) ? read_toc_entry(d, arg) : fail(d, "CDROMREADTOCENTRY", ENOMEDIUM);
        return 1;
    case CDROMSUBCHNL: {
        if (!has_disc(d)) {
            *result = fail(d, "CDROMSUBCHNL", ENOMEDIUM);
            return 1;
        }
        struct cdrom_subchnl* q = arg;
        unsigned char format = q->cdsc_format;
        memset(q, 0, sizeof *q);
        q->cdsc_format = format;
        q->cdsc_audiostatus = CDROM_AUDIO_NO_STATUS; /* nothing plays */
        q->cdsc_trk = 1;
        q->cdsc_ind = 1;
        *result = succeed(d, "CDROMSUBCHNL", 0);
        return 1;
    }
    case CDROM_LOCKDOOR: *result = succeed(d, "CDROM_LOCKDOOR", 0); return 1;
    case CDROM_MEDIA_CHANGED: *result = succeed(d, "CDROM_MEDIA_CHANGED", 0); return 1;
    default: {
        char name[32];
        snprintf(name, sizeof name, "0x%04lx", request);
        *result = fail(d, name, ENOTTY); /* as a drive that does not know it */
        return 1;
    }
    }
}

/* Answers an emulated drive's request, or passes it on to the next entry of
   that name (cached in *fn). */
static int answer_or_pass(ioctl_fn* fn, const char* name, int fd, unsigned long request,
                          void* arg) {
    int result;
    if (answer(fd, request, arg, &result)) return result;
    if (!*fn) *fn = (ioctl_fn)next(name);
    return (*fn)(fd, request, arg);
}

int IOCTL_ENTRY(int fd, unsigned long request, ...) {
    static ioctl_fn fn;
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    return answer_or_pass(&fn, NAME_OF(IOCTL_ENTRY), fd, request, arg);
}

#ifdef __i386__
/* 32-bit programs built with 32-bit time (a check by hand, say) call this one. */
int ioctl(int fd, unsigned long request, ...) {
    static ioctl_fn fn;
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    return answer_or_pass(&fn, "ioctl", fd, request, arg);
}
#endif

/* ---- the stat calls ---------------------------------------------------- */

static int disguise(int result, struct stat* st) {
    if (result != 0) return result;
    for (int i = 0; i < file_count; ++i) {
        if (files[i].dev != st->st_dev || files[i].ino != st->st_ino) continue;
        st->st_dev = files[i].number;
        if (files[i].is_device) {
            st->st_mode = S_IFBLK | (st->st_mode & 07777);
            st->st_rdev = files[i].number;
        }
        break;
    }
    return result;
}

int STAT_ENTRY(const char* path, struct stat* st) {
    return disguise(real_stat(path, st), st);
}

int LSTAT_ENTRY(const char* path, struct stat* st) {
    return disguise(real_lstat(path, st), st);
}

int FSTAT_ENTRY(int fd, struct stat* st) {
    return disguise(real_fstat(fd, st), st);
}

int FSTATAT_ENTRY(int dirfd, const char* path, struct stat* st, int flags) {
    static fstatat_fn fn;
    if (!fn) fn = (fstatat_fn)next(NAME_OF(FSTATAT_ENTRY));
    return disguise(fn(dirfd, path, st, flags), st);
}
