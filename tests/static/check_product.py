#!/usr/bin/env python3
"""Static check of the 32-bit product DLL "Zelmora Zozarevo.dll".

Usage:
    python3 check_product.py --objdump i686-w64-mingw32-objdump "path/to/Zelmora Zozarevo.dll"

The PE file is parsed directly (struct); objdump is only used to disassemble
the exported functions.  Prints one line per check, "ok: ..." or "FAIL: ...",
and exits 1 if any check failed, 0 otherwise.

Checks:
  1. PE32 image, machine i386, DLL flag set (also reports the image size).
  2. Export directory: module name, exactly the seven expected exports with
     the expected names and ordinals, none forwarded.
  3. Every export removes its own arguments (stdcall): every return
     instruction reachable from the export's entry is "ret $N" with the
     expected N.
  4. An RT_MANIFEST resource with ID 2 that depends on the common controls
     version 6 assembly and declares DPI awareness.
  5. Imports (normal and delay-load) come only from Windows system DLLs, never
     from the MinGW runtime DLLs.
"""

import argparse
import bisect
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

EXPECTED_MODULE = "Zelmora Zozarevo.dll"

# (ordinal, exported name, bytes of arguments the function must pop)
EXPECTED_EXPORTS = [
    (1, "_nbEditAction", 8),
    (2, "_nbExecAction", 8),
    (3, "_nbInitPlugIn", 16),
    (4, "_nbMessage", 8),
    (5, "_nbRegisterInterfaceAccess", 4),
    (6, "_nbRegisterPlugIn", 16),
    (7, "_nbRegisterScriptProcessor", 4),
]

IMAGE_FILE_MACHINE_I386 = 0x14C
IMAGE_FILE_DLL = 0x2000
PE32_MAGIC = 0x10B
IMAGE_SCN_MEM_EXECUTE = 0x20000000
IMAGE_SCN_CNT_CODE = 0x00000020

DIR_EXPORT, DIR_IMPORT, DIR_RESOURCE, DIR_DELAY_IMPORT = 0, 1, 2, 13

RT_MANIFEST = 24
RT_VERSION = 16
ISOLATIONAWARE_MANIFEST_RESOURCE_ID = 2

NS_ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
NS_ASM_V2 = "urn:schemas-microsoft-com:asm.v2"
NS_ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
NS_WS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
NS_WS_2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings"
COMCTL_NAME = "Microsoft.Windows.Common-Controls"
COMCTL_VERSION = "6.0.0.0"
COMCTL_TOKEN = "6595b64144ccf1df"

# DLLs that ship with every supported Windows installation (lower case).
SYSTEM_DLLS = {
    "kernel32.dll", "kernelbase.dll", "ntdll.dll", "user32.dll", "gdi32.dll",
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "shell32.dll",
    "shlwapi.dll", "ole32.dll", "oleaut32.dll", "olepro32.dll", "oleacc.dll",
    "msvcrt.dll", "ucrtbase.dll", "uxtheme.dll", "version.dll",
    "ws2_32.dll", "wsock32.dll", "mswsock.dll", "bcrypt.dll", "ncrypt.dll",
    "crypt32.dll", "secur32.dll", "sspicli.dll", "rpcrt4.dll", "imm32.dll",
    "winmm.dll", "dwmapi.dll", "msimg32.dll", "gdiplus.dll", "usp10.dll",
    "winspool.drv", "setupapi.dll", "cfgmgr32.dll", "shcore.dll",
    "psapi.dll", "dbghelp.dll", "userenv.dll", "wintrust.dll", "imagehlp.dll",
    "wininet.dll", "winhttp.dll", "urlmon.dll", "iphlpapi.dll", "dnsapi.dll",
    "netapi32.dll", "mpr.dll", "propsys.dll", "d2d1.dll", "dwrite.dll",
    "d3d9.dll", "d3d11.dll", "dxgi.dll", "opengl32.dll", "glu32.dll",
    "windowscodecs.dll", "hhctrl.ocx", "powrprof.dll", "wtsapi32.dll",
    "credui.dll", "normaliz.dll", "avrt.dll", "dsound.dll", "msacm32.dll",
    "avifil32.dll", "msvfw32.dll", "hid.dll", "cabinet.dll", "wldap32.dll",
    "odbc32.dll", "mscms.dll", "uiautomationcore.dll",
}
SYSTEM_DLL_PATTERNS = [
    re.compile(r"^api-ms-win-crt-[a-z0-9-]+-l\d+-\d+-\d+\.dll$"),
    re.compile(r"^api-ms-win-core-[a-z0-9-]+-l\d+-\d+-\d+\.dll$"),
    re.compile(r"^api-ms-win-[a-z0-9-]+-l\d+-\d+-\d+\.dll$"),
    re.compile(r"^ext-ms-win-[a-z0-9-]+-l\d+-\d+-\d+\.dll$"),
]
MINGW_RUNTIME_PATTERNS = [
    re.compile(r"^libgcc_s_.*\.dll$"),
    re.compile(r"^libstdc\+\+-.*\.dll$"),
    re.compile(r"^libwinpthread-.*\.dll$"),
    re.compile(r"^lib(ssp|gomp|atomic|quadmath|gfortran)-.*\.dll$"),
]


class PEError(Exception):
    pass


# What reading a damaged image can raise; reported as a failed check.
MALFORMED = (PEError, struct.error, IndexError, ValueError)


# --------------------------------------------------------------------------
# PE parsing
# --------------------------------------------------------------------------

class PE:
    def __init__(self, data):
        self.data = data
        if len(data) < 0x40 or data[:2] != b"MZ":
            raise PEError("no MZ header")
        self.pe_off = struct.unpack_from("<I", data, 0x3C)[0]
        if data[self.pe_off:self.pe_off + 4] != b"PE\0\0":
            raise PEError("no PE signature at 0x%x" % self.pe_off)
        (self.machine, nsect, _ts, self.symtab_ptr, self.nsyms,
         self.opt_size, self.characteristics) = struct.unpack_from(
             "<HHIIIHH", data, self.pe_off + 4)
        opt = self.pe_off + 24
        self.opt_off = opt
        self.magic = struct.unpack_from("<H", data, opt)[0]
        self.image_base = 0
        self.size_of_image = struct.unpack_from("<I", data, opt + 56)[0]
        self.dirs = []
        if self.magic == PE32_MAGIC:
            self.image_base = struct.unpack_from("<I", data, opt + 28)[0]
            ndirs = struct.unpack_from("<I", data, opt + 92)[0]
            ndirs = min(ndirs, 16, max(0, (self.opt_size - 96) // 8))
            for i in range(ndirs):
                self.dirs.append(struct.unpack_from("<II", data, opt + 96 + 8 * i))
        self.sections = []
        sh = opt + self.opt_size
        for i in range(nsect):
            off = sh + 40 * i
            if off + 40 > len(data):
                raise PEError("section table truncated")
            raw_name = data[off:off + 8].rstrip(b"\0")
            vsize, va, rsize, rptr = struct.unpack_from("<IIII", data, off + 8)
            chars = struct.unpack_from("<I", data, off + 36)[0]
            self.sections.append({
                "name": self._section_name(raw_name), "va": va,
                "vsize": vsize or rsize, "rsize": rsize, "rptr": rptr,
                "chars": chars,
            })

    def _section_name(self, raw):
        name = raw.decode("latin-1")
        # Long names ("/N") live in the COFF string table (kept even when the
        # image is stripped of symbols).
        if name.startswith("/") and name[1:].isdigit() and self.symtab_ptr:
            st = self.symtab_ptr + 18 * self.nsyms + int(name[1:])
            end = self.data.find(b"\0", st)
            if 0 <= st < len(self.data) and end > st:
                return self.data[st:end].decode("latin-1")
        return name

    def directory(self, idx):
        if idx < len(self.dirs):
            return self.dirs[idx]
        return (0, 0)

    def section_of(self, rva):
        for s in self.sections:
            if s["va"] <= rva < s["va"] + max(s["vsize"], s["rsize"]):
                return s
        return None

    def is_exec_rva(self, rva):
        s = self.section_of(rva)
        return bool(s and s["chars"] & (IMAGE_SCN_MEM_EXECUTE | IMAGE_SCN_CNT_CODE))

    def read(self, rva, n):
        s = self.section_of(rva)
        if s is None:
            raise PEError("RVA 0x%x is in no section" % rva)
        out = b""
        delta = rva - s["va"]
        if delta < s["rsize"]:
            start = s["rptr"] + delta
            take = min(n, s["rsize"] - delta)
            out = self.data[start:start + take]
        if len(out) < n:
            if rva + n > s["va"] + max(s["vsize"], s["rsize"]):
                raise PEError("read of %d bytes at RVA 0x%x leaves its section" % (n, rva))
            out += b"\0" * (n - len(out))
        return out

    def u16(self, rva):
        return struct.unpack("<H", self.read(rva, 2))[0]

    def u32(self, rva):
        return struct.unpack("<I", self.read(rva, 4))[0]

    def cstr(self, rva, limit=1024):
        s = self.section_of(rva)
        if s is None:
            raise PEError("string RVA 0x%x is in no section" % rva)
        avail = s["va"] + max(s["vsize"], s["rsize"]) - rva
        raw = self.read(rva, min(limit, avail))
        end = raw.find(b"\0")
        if end < 0:
            raise PEError("unterminated string at RVA 0x%x" % rva)
        return raw[:end].decode("latin-1")


# --------------------------------------------------------------------------
# .eh_frame: function ranges (the i686 MinGW toolchain emits DWARF CFI for
# every compiled function, even in stripped images).  Used only as an extra
# bound when deciding where a function ends; absence is tolerated.
# --------------------------------------------------------------------------

def _uleb(buf, pos):
    result = shift = 0
    while True:
        b = buf[pos]
        pos += 1
        result |= (b & 0x7F) << shift
        shift += 7
        if not b & 0x80:
            return result, pos


def _sleb(buf, pos):
    result = shift = 0
    while True:
        b = buf[pos]
        pos += 1
        result |= (b & 0x7F) << shift
        shift += 7
        if not b & 0x80:
            if b & 0x40:
                result -= 1 << shift
            return result, pos


def _read_encoded(buf, pos, enc, field_va):
    fmt = enc & 0x0F
    if fmt == 0x00:
        val, pos = struct.unpack_from("<I", buf, pos)[0], pos + 4
    elif fmt == 0x01:
        val, pos = _uleb(buf, pos)
    elif fmt == 0x02:
        val, pos = struct.unpack_from("<H", buf, pos)[0], pos + 2
    elif fmt == 0x03:
        val, pos = struct.unpack_from("<I", buf, pos)[0], pos + 4
    elif fmt == 0x04:
        val, pos = struct.unpack_from("<Q", buf, pos)[0], pos + 8
    elif fmt == 0x09:
        val, pos = _sleb(buf, pos)
    elif fmt == 0x0A:
        val, pos = struct.unpack_from("<h", buf, pos)[0], pos + 2
    elif fmt == 0x0B:
        val, pos = struct.unpack_from("<i", buf, pos)[0], pos + 4
    elif fmt == 0x0C:
        val, pos = struct.unpack_from("<q", buf, pos)[0], pos + 8
    else:
        raise PEError("unsupported pointer encoding 0x%x" % enc)
    if field_va is not None and (enc & 0x70) == 0x10:
        val += field_va
    return val & 0xFFFFFFFF, pos


def eh_frame_ranges(pe):
    """Sorted list of (start_va, end_va) from the FDEs in .eh_frame."""
    sect = next((s for s in pe.sections if s["name"] == ".eh_frame"), None)
    if sect is None:
        return []
    buf = pe.read(sect["va"], min(sect["vsize"], sect["rsize"]))
    base_va = pe.image_base + sect["va"]
    cies = {}
    ranges = []
    pos = 0
    while pos + 4 <= len(buf):
        length = struct.unpack_from("<I", buf, pos)[0]
        if length == 0:
            break
        if length == 0xFFFFFFFF:
            raise PEError("64-bit .eh_frame records are not expected")
        start = pos + 4
        end = start + length
        if end > len(buf):
            break
        cie_ptr = struct.unpack_from("<I", buf, start)[0]
        if cie_ptr == 0:
            p = start + 4
            version = buf[p]
            p += 1
            aug_end = buf.index(b"\0", p)
            aug = buf[p:aug_end].decode("latin-1")
            p = aug_end + 1
            _, p = _uleb(buf, p)
            _, p = _sleb(buf, p)
            if version == 1:
                p += 1
            else:
                _, p = _uleb(buf, p)
            fde_enc = 0x00
            if aug.startswith("z"):
                _, p = _uleb(buf, p)
                for ch in aug[1:]:
                    if ch == "R":
                        fde_enc = buf[p]
                        p += 1
                    elif ch == "L":
                        p += 1
                    elif ch == "P":
                        penc = buf[p]
                        p += 1
                        _, p = _read_encoded(buf, p, penc, base_va + p)
                    elif ch in "SB":
                        pass
                    else:
                        break
            cies[pos] = fde_enc
        else:
            cie_off = start - cie_ptr
            enc = cies.get(cie_off)
            if enc is not None:
                p = start + 4
                pc_begin, p = _read_encoded(buf, p, enc, base_va + p)
                pc_range, p = _read_encoded(buf, p, enc & 0x0F, None)
                if pc_range:
                    ranges.append((pc_begin, pc_begin + pc_range))
        pos = end
    ranges.sort()
    return ranges


# --------------------------------------------------------------------------
# Disassembly / function extent
# --------------------------------------------------------------------------
#
# How the body of an exported function is found without symbols:
#
# Instead of a linear sweep, the body is explored by recursive traversal of
# the control flow, starting at the export's entry point:
#   * ordinary instructions and calls continue with the next instruction
#     (calls are assumed to return);
#   * a conditional jump continues with the next instruction and also with
#     its target;
#   * a direct unconditional jump continues only at its target -- this also
#     follows tail calls, which is what we want: the tail-called code's
#     "ret $N" is what removes the export's arguments;
#   * an indirect jump through a jump table "jmp *TABLE(,%reg,4)" continues
#     at every table entry (the table size is taken from the preceding
#     "cmp $K,%reg" bounds check, else entries are read while they point into
#     code); any other indirect jump (through a register or an import address
#     slot) is an exit whose callee cannot be inspected;
#   * a ret of any form ends the path;
#   * int3/ud2/hlt/(bad) end the path.
# Falling through (after a call to a no-return function such as abort(), the
# next bytes belong to another function) is stopped when the next instruction
#   * lies beyond the end of the .eh_frame FDE range holding the current
#     instruction (gcc emits one FDE per function / cold part), or
#   * is alignment padding (nop, xchg %ax,%ax, lea 0(%esi),%esi, ...): gcc
#     only places padding before labels, and a label that belongs to the
#     function is reached through its jumps anyway, or
#   * is the entry of another export.
# Every ret collected this way must be "ret $N" with the expected N.

PREFIXES = {
    "rep", "repz", "repe", "repnz", "repne", "bnd", "notrack", "lock",
    "data16", "data32", "addr16", "addr32", "cs", "ds", "es", "ss", "fs", "gs",
}
PADDING_LEA = re.compile(r"^(?:0x0)?\(%(e[sd]i)(?:,%eiz,1)?\),%(e[sd]i)$")
JUMP_TABLE = re.compile(r"^\*0x([0-9a-f]+)\(,%(\w+),4\)$")
ABS_INDIRECT = re.compile(r"^\*0x([0-9a-f]+)$")
CMP_IMM = re.compile(r"^\$0x([0-9a-f]+),%(\w+)$")
LINE = re.compile(r"^\s*([0-9a-f]+):\s*(.*)$")
HEX_TARGET = re.compile(r"^(?:0x)?([0-9a-f]+)(?:\s|$)")
COND_JUMP = re.compile(r"^(j(?!mp)[a-z]+|loop[a-z]*)$")


class Insn:
    __slots__ = ("va", "text", "mnem", "ops", "next", "prev")

    def __init__(self, va, text):
        self.va = va
        self.text = text.strip()
        body = self.text.split("#", 1)[0].strip()
        parts = body.split(None, 1)
        while len(parts) == 2 and parts[0] in PREFIXES:
            parts = parts[1].split(None, 1)
        self.mnem = parts[0] if parts else ""
        self.ops = parts[1].strip() if len(parts) > 1 else ""
        self.next = None
        self.prev = None

    def is_padding(self):
        m = self.mnem
        if m in ("nop", "nopw", "nopl", "int3"):
            return True
        if m == "xchg" and self.ops == "%ax,%ax":
            return True
        if m == "lea":
            lm = PADDING_LEA.match(self.ops)
            return bool(lm and lm.group(1) == lm.group(2))
        return False


class Disassembler:
    WINDOW = 0x400

    def __init__(self, objdump, path, pe):
        self.objdump = objdump
        self.path = path
        self.pe = pe
        self.insns = {}
        try:
            self.fdes = eh_frame_ranges(pe)
        except MALFORMED:
            self.fdes = []
        self._fde_starts = [r[0] for r in self.fdes]

    def fde_of(self, va):
        i = bisect.bisect_right(self._fde_starts, va) - 1
        if i >= 0 and self.fdes[i][0] <= va < self.fdes[i][1]:
            return self.fdes[i]
        return None

    def exec_section_end(self, va):
        s = self.pe.section_of(va - self.pe.image_base)
        if s is None or not s["chars"] & (IMAGE_SCN_MEM_EXECUTE | IMAGE_SCN_CNT_CODE):
            return None
        return self.pe.image_base + s["va"] + max(s["vsize"], s["rsize"])

    def ensure(self, va):
        """Make sure the instruction at va is decoded; False if impossible."""
        if va in self.insns:
            return True
        sect_end = self.exec_section_end(va)
        if sect_end is None:
            return False
        fde = self.fde_of(va)
        stop = (fde[1] if fde else va + self.WINDOW) + 16
        keep_last = False
        if stop >= sect_end:
            stop, keep_last = sect_end, True
        cmd = [self.objdump, "-d", "-z", "--no-show-raw-insn",
               "--start-address=0x%x" % va, "--stop-address=0x%x" % stop,
               self.path]
        try:
            res = subprocess.run(cmd, stdout=subprocess.PIPE,
                                 stderr=subprocess.PIPE, check=False)
        except OSError as exc:
            raise PEError("cannot run %s: %s" % (self.objdump, exc))
        if res.returncode != 0:
            raise PEError("%s failed: %s" % (self.objdump,
                                             res.stderr.decode(errors="replace").strip()))
        decoded = []
        for line in res.stdout.decode(errors="replace").splitlines():
            m = LINE.match(line)
            if not m or "\t" not in line:
                continue
            decoded.append(Insn(int(m.group(1), 16), m.group(2)))
        if not decoded or decoded[0].va != va:
            return False
        for a, b in zip(decoded, decoded[1:]):
            a.next = b.va
            b.prev = a.va
        if keep_last:
            decoded[-1].next = stop
        else:
            # An x86 instruction is at most 15 bytes long: anything starting
            # that close to the stop address may have been cut short (objdump
            # then prints ".byte" lines), so it is decoded again later from
            # its own start if it is needed.
            decoded = [ins for ins in decoded if ins.va < stop - 15]
        for ins in decoded:
            if ins.va not in self.insns:
                self.insns[ins.va] = ins
            elif ins.prev is not None and self.insns[ins.va].prev is None:
                self.insns[ins.va].prev = ins.prev
        return va in self.insns

    def jump_table_targets(self, ins, table_va, index_reg):
        count = None
        prev = ins.prev
        for _ in range(8):
            if prev is None or prev not in self.insns:
                break
            p = self.insns[prev]
            if p.mnem in ("cmp", "cmpl"):
                m = CMP_IMM.match(p.ops)
                if m and m.group(2) == index_reg:
                    count = int(m.group(1), 16) + 1
                    break
            prev = p.prev
        targets = []
        limit = count if count is not None else 1024
        rva = table_va - self.pe.image_base
        for i in range(limit):
            try:
                t = self.pe.u32(rva + 4 * i)
            except MALFORMED:
                break
            if not self.pe.is_exec_rva(t - self.pe.image_base):
                if count is None:
                    break
                continue
            targets.append(t)
        return targets

    def analyse(self, entry, other_entries, iat_names):
        """Explore the function at entry; returns (rets, exits, notes, extent)."""
        rets, exits, notes = [], [], []
        seen = set()
        work = [(entry, False)]
        steps = 0
        while work:
            va, via_fallthrough = work.pop()
            while True:
                if va in seen:
                    break
                if via_fallthrough and va in other_entries:
                    break
                if not self.ensure(va):
                    notes.append("cannot decode code at 0x%x" % va)
                    break
                ins = self.insns[va]
                if via_fallthrough and ins.is_padding():
                    break
                seen.add(va)
                steps += 1
                if steps > 50000:
                    raise PEError("function body too large to explore")
                m = ins.mnem
                if m in ("ret", "retl", "retw", "lret", "lretl", "lretw",
                         "iret", "iretl", "iretw", "retf"):
                    rets.append(ins)
                    break
                if m in ("int3", "ud2", "ud0", "ud1", "hlt") or m.startswith("(bad") \
                        or m.startswith("."):
                    if m not in ("int3", "ud2", "ud0", "ud1", "hlt"):
                        notes.append("undecodable bytes at 0x%x" % va)
                    break
                if m in ("jmp", "jmpl"):
                    t = HEX_TARGET.match(ins.ops)
                    if t:
                        work.append((int(t.group(1), 16), False))
                        break
                    jt = JUMP_TABLE.match(ins.ops)
                    if jt:
                        targets = self.jump_table_targets(ins, int(jt.group(1), 16), jt.group(2))
                        if not targets:
                            exits.append("unresolved jump table at 0x%x" % va)
                        work.extend((t, False) for t in targets)
                        break
                    ab = ABS_INDIRECT.match(ins.ops)
                    if ab and int(ab.group(1), 16) in iat_names:
                        exits.append("tail jump to %s at 0x%x" % (iat_names[int(ab.group(1), 16)], va))
                    else:
                        exits.append("indirect tail jump '%s' at 0x%x" % (ins.text, va))
                    break
                if m in ("ljmp", "ljmpl"):
                    exits.append("far jump at 0x%x" % va)
                    break
                if COND_JUMP.match(m) and m not in ("jmp", "jmpl"):
                    t = HEX_TARGET.match(ins.ops)
                    if t:
                        work.append((int(t.group(1), 16), False))
                nxt = ins.next
                fde = self.fde_of(va)
                if nxt is None or (fde is not None and nxt >= fde[1]):
                    break
                va, via_fallthrough = nxt, True
        extent = (min(seen), max(seen)) if seen else (entry, entry)
        return rets, exits, notes, extent, len(seen)


# --------------------------------------------------------------------------
# Checks
# --------------------------------------------------------------------------

class Report:
    def __init__(self):
        self.failed = False

    def ok(self, msg):
        print("ok: " + msg)

    def fail(self, msg):
        self.failed = True
        print("FAIL: " + msg)

    def check(self, cond, ok_msg, fail_msg):
        if cond:
            self.ok(ok_msg)
        else:
            self.fail(fail_msg)


def check_header(pe, file_size, rep):
    problems = []
    if pe.magic != PE32_MAGIC:
        problems.append("optional header magic 0x%x, expected 0x10b (PE32)" % pe.magic)
    if pe.machine != IMAGE_FILE_MACHINE_I386:
        problems.append("machine 0x%x, expected 0x14c (i386)" % pe.machine)
    if not pe.characteristics & IMAGE_FILE_DLL:
        problems.append("IMAGE_FILE_DLL not set (characteristics 0x%x)" % pe.characteristics)
    size = "SizeOfImage 0x%x (%d bytes), file size %d bytes" % (
        pe.size_of_image, pe.size_of_image, file_size)
    if problems:
        rep.fail("PE header: " + "; ".join(problems) + " [" + size + "]")
    else:
        rep.ok("PE32 image for i386, DLL flag set [%s]" % size)


def read_exports(pe):
    rva, size = pe.directory(DIR_EXPORT)
    if not rva:
        raise PEError("no export directory")
    (_flags, _ts, _maj, _min, name_rva, base, nfuncs, nnames,
     funcs_rva, names_rva, ords_rva) = struct.unpack("<IIHHIIIIIII", pe.read(rva, 40))
    if nfuncs > 0x10000 or nnames > nfuncs:
        raise PEError("implausible export counts (%d functions, %d names)" % (nfuncs, nnames))
    module = pe.cstr(name_rva) if name_rva else ""
    funcs = [pe.u32(funcs_rva + 4 * i) for i in range(nfuncs)]
    names = {}
    for i in range(nnames):
        nm = pe.cstr(pe.u32(names_rva + 4 * i))
        idx = pe.u16(ords_rva + 2 * i)
        if idx >= nfuncs:
            raise PEError("export %r refers to function index %d of %d" % (nm, idx, nfuncs))
        names.setdefault(idx, []).append(nm)
    exports = []  # (ordinal, [names], rva, forwarded_to)
    for i, frva in enumerate(funcs):
        if frva == 0:
            continue
        fwd = None
        if rva <= frva < rva + size:
            fwd = pe.cstr(frva)
        exports.append((base + i, names.get(i, []), frva, fwd))
    return module, exports


def check_exports(pe, rep):
    """Returns {name: rva} of the exports found (for the calling-convention check)."""
    try:
        module, exports = read_exports(pe)
    except MALFORMED as exc:
        rep.fail("export directory unreadable: %s" % exc)
        rep.fail("exports: cannot be checked")
        return {}, set()
    rep.check(module == EXPECTED_MODULE,
              "export module name is %r" % module,
              "export module name is %r, expected %r" % (module, EXPECTED_MODULE))

    actual = []
    by_name = {}
    problems = []
    for ordinal, nms, frva, fwd in exports:
        if not nms:
            problems.append("unnamed export at ordinal %d" % ordinal)
        for nm in nms:
            actual.append((ordinal, nm))
            by_name[nm] = frva
        if len(nms) > 1:
            problems.append("ordinal %d has several names %s" % (ordinal, nms))
        if fwd is not None:
            problems.append("ordinal %d %s is forwarded to %r" % (ordinal, "/".join(nms), fwd))
        elif not pe.is_exec_rva(frva):
            problems.append("ordinal %d %s points outside code (RVA 0x%x)"
                            % (ordinal, "/".join(nms), frva))
    expected = [(o, n) for o, n, _ in EXPECTED_EXPORTS]
    if sorted(actual) != expected:
        missing = [e for e in expected if e not in actual]
        extra = [a for a in sorted(actual) if a not in expected]
        if missing:
            problems.append("missing/misnumbered: " +
                            ", ".join("%d %s" % e for e in missing))
        if extra:
            problems.append("unexpected: " + ", ".join("%d %s" % e for e in extra))
    if len(exports) != len(EXPECTED_EXPORTS):
        problems.append("%d exported functions, expected %d"
                        % (len(exports), len(EXPECTED_EXPORTS)))
    listing = ", ".join("%d %s" % a for a in sorted(actual))
    if problems:
        rep.fail("exports: " + "; ".join(problems) + " [found: " + listing + "]")
    else:
        rep.ok("exports are exactly: " + listing + " (none forwarded)")
    forwarded = {n for _, nms, _, fwd in exports if fwd is not None for n in nms}
    return by_name, forwarded


def read_imports(pe):
    """Returns ([(dll, kind)], {iat_slot_va: 'dll!symbol'})."""
    dlls = []
    iat = {}

    def walk_thunks(dll, names_rva, iat_rva):
        if not names_rva:
            names_rva = iat_rva
        for i in range(65536):
            entry = pe.u32(names_rva + 4 * i)
            if entry == 0:
                break
            if entry & 0x80000000:
                sym = "#%d" % (entry & 0xFFFF)
            else:
                sym = pe.cstr(entry + 2)
            iat[pe.image_base + iat_rva + 4 * i] = "%s!%s" % (dll, sym)

    rva, _size = pe.directory(DIR_IMPORT)
    if rva:
        for i in range(4096):
            oft, _ts, _fc, name_rva, ft = struct.unpack("<IIIII", pe.read(rva + 20 * i, 20))
            if not (oft or name_rva or ft):
                break
            dll = pe.cstr(name_rva)
            dlls.append((dll, "import"))
            walk_thunks(dll, oft, ft)
    rva, _size = pe.directory(DIR_DELAY_IMPORT)
    if rva:
        for i in range(4096):
            fields = struct.unpack("<IIIIIIII", pe.read(rva + 32 * i, 32))
            attrs, name, _mod, iat_rva, int_rva = fields[:5]
            if not name:
                break
            if not attrs & 1:  # old-style descriptor holds VAs
                name -= pe.image_base
                iat_rva = iat_rva - pe.image_base if iat_rva else 0
                int_rva = int_rva - pe.image_base if int_rva else 0
            dll = pe.cstr(name)
            dlls.append((dll, "delay-load"))
            if iat_rva:
                walk_thunks(dll, int_rva, iat_rva)
    return dlls, iat


def is_system_dll(name):
    low = name.lower()
    return low in SYSTEM_DLLS or any(p.match(low) for p in SYSTEM_DLL_PATTERNS)


def check_imports(pe, rep, dlls, error):
    if error:
        rep.fail("import directory unreadable: %s" % error)
        return
    listing = ", ".join(d if k == "import" else "%s (%s)" % (d, k) for d, k in dlls) or "(none)"
    bad = []
    for dll, _kind in dlls:
        low = dll.lower()
        if any(p.match(low) for p in MINGW_RUNTIME_PATTERNS):
            bad.append("%s (MinGW runtime)" % dll)
        elif not is_system_dll(dll):
            bad.append("%s (not a Windows system DLL)" % dll)
    if bad:
        rep.fail("imports from non-system DLLs: %s [all imports: %s]" % (", ".join(bad), listing))
    else:
        rep.ok("imports only Windows system DLLs: " + listing)


def check_calling_convention(pe, rep, objdump, path, by_name, forwarded, iat):
    try:
        dis = Disassembler(objdump, path, pe)
    except MALFORMED + (OSError,) as exc:
        for o, n, _ in EXPECTED_EXPORTS:
            rep.fail("%s: cannot disassemble: %s" % (n, exc))
        return
    entries = {pe.image_base + r for r in by_name.values()}
    for ordinal, name, nbytes in EXPECTED_EXPORTS:
        label = "%s (ordinal %d) pops %d bytes" % (name, ordinal, nbytes)
        if name not in by_name:
            rep.fail("%s: not exported, cannot check" % label)
            continue
        if name in forwarded:
            rep.fail("%s: forwarded, cannot check" % label)
            continue
        entry = pe.image_base + by_name[name]
        try:
            rets, exits, notes, extent, count = dis.analyse(entry, entries - {entry}, iat)
        except MALFORMED + (OSError,) as exc:
            rep.fail("%s: disassembly failed: %s" % (label, exc))
            continue
        want = "$0x%x" % nbytes
        wrong = [r for r in rets if r.mnem not in ("ret", "retl") or r.ops != want]
        where = "entry 0x%x, %d insns in 0x%x..0x%x" % (entry, count, extent[0], extent[1])
        extra = ""
        if exits:
            extra += "; exits not inspectable: " + "; ".join(exits)
        if notes:
            extra += "; notes: " + "; ".join(notes)
        if wrong:
            rep.fail("%s: %s [%s]%s" % (
                label, ", ".join("'%s' at 0x%x" % (r.text, r.va) for r in wrong), where, extra))
        elif not rets and not exits:
            rep.fail("%s: no return instruction found [%s]%s" % (label, where, extra))
        elif not rets:
            rep.ok("%s: no ret of its own, only tail jumps (callee cleanup not "
                   "verifiable) [%s]%s" % (label, where, extra))
        else:
            rep.ok("%s: %d ret(s), all 'ret %s' [%s]%s" % (label, len(rets), want, where, extra))


def read_resource_dir(pe, base, off):
    _c, _t, _ma, _mi, nnamed, nid = struct.unpack("<IIHHHH", pe.read(base + off, 16))
    out = []
    for i in range(nnamed + nid):
        name, target = struct.unpack("<II", pe.read(base + off + 16 + 8 * i, 8))
        if name & 0x80000000:
            soff = name & 0x7FFFFFFF
            n = pe.u16(base + soff)
            key = pe.read(base + soff + 2, 2 * n).decode("utf-16-le", errors="replace")
        else:
            key = name & 0xFFFF
        out.append((key, bool(target & 0x80000000), target & 0x7FFFFFFF))
    return out


def find_manifests(pe):
    """Returns [(id, language, bytes)] for all RT_MANIFEST resources."""
    return find_resources(pe, RT_MANIFEST)


def find_resources(pe, rtype):
    """Returns [(id, language, bytes)] for all resources of one type."""
    base, _size = pe.directory(DIR_RESOURCE)
    if not base:
        raise PEError("no resource directory")
    result = []
    for tkey, tdir, toff in read_resource_dir(pe, base, 0):
        if tkey != rtype or not tdir:
            continue
        for nkey, ndir, noff in read_resource_dir(pe, base, toff):
            langs = read_resource_dir(pe, base, noff) if ndir else [(0, False, noff)]
            for lkey, ldir, loff in langs:
                if ldir:
                    raise PEError("unexpected resource nesting")
                drva, dsize, _cp, _r = struct.unpack("<IIII", pe.read(base + loff, 16))
                result.append((nkey, lkey, pe.read(drva, dsize)))
    return result


def local(tag):
    return tag.rsplit("}", 1)[-1] if isinstance(tag, str) else ""


def ns(tag):
    return tag[1:].split("}", 1)[0] if isinstance(tag, str) and tag.startswith("{") else ""


def analyse_manifest(raw):
    """Returns (dependency_problems, dpi_problems, dpi_description)."""
    if raw.startswith((b"\xff\xfe", b"\xfe\xff")):
        while raw.endswith(b"\0\0"):  # UTF-16: drop padding in whole code units
            raw = raw[:-2]
    else:
        raw = raw.rstrip(b"\0")
    try:
        root = ET.fromstring(raw)
    except (ET.ParseError, ValueError, LookupError) as exc:
        msg = "manifest is not well-formed XML: %s" % exc
        return [msg], [msg], ""
    parent = {c: p for p in root.iter() for c in p}
    asm_ns = (NS_ASM_V1, NS_ASM_V2, NS_ASM_V3)
    dep_problems = []
    if local(root.tag) != "assembly" or ns(root.tag) != NS_ASM_V1:
        dep_problems.append("root element is %s, expected {%s}assembly" % (root.tag, NS_ASM_V1))
    found = []
    for el in root.iter():
        if local(el.tag) != "assemblyIdentity" or ns(el.tag) not in asm_ns:
            continue
        p = parent.get(el)
        gp = parent.get(p) if p is not None else None
        if p is None or gp is None or local(p.tag) != "dependentAssembly" \
                or local(gp.tag) != "dependency" or parent.get(gp) is not root:
            continue
        if el.get("name") == COMCTL_NAME:
            found.append(el)
    if not found:
        dep_problems.append("no dependency/dependentAssembly/assemblyIdentity named %s" % COMCTL_NAME)
    else:
        good = False
        seen = []
        for el in found:
            v = el.get("version")
            arch = (el.get("processorArchitecture") or "*").lower()
            tok = (el.get("publicKeyToken") or "").lower()
            typ = el.get("type")
            seen.append("version=%s processorArchitecture=%s publicKeyToken=%s type=%s"
                        % (v, arch, tok, typ))
            if v == COMCTL_VERSION and arch in ("*", "x86") and tok == COMCTL_TOKEN \
                    and typ == "win32":
                good = True
        if not good:
            dep_problems.append("%s dependency is not version %s/type win32/token %s/"
                                "x86-compatible: %s" % (COMCTL_NAME, COMCTL_VERSION,
                                                        COMCTL_TOKEN, "; ".join(seen)))

    dpi_problems = []
    decl = []
    accepted = False

    def in_window_settings(el):
        p = parent.get(el)
        gp = parent.get(p) if p is not None else None
        return (p is not None and gp is not None and local(p.tag) == "windowsSettings"
                and local(gp.tag) == "application" and ns(gp.tag) == NS_ASM_V3)

    for el in root.iter():
        name = local(el.tag)
        if name not in ("dpiAware", "dpiAwareness"):
            continue
        text = (el.text or "").strip()
        decl.append("%s=%r" % (name, text))
        if not in_window_settings(el):
            dpi_problems.append("<%s> is not inside {%s}application/windowsSettings"
                                % (name, NS_ASM_V3))
            continue
        if name == "dpiAware":
            if ns(el.tag) != NS_WS_2005:
                dpi_problems.append("<dpiAware> in namespace %r, expected %r" % (ns(el.tag), NS_WS_2005))
            elif text.lower() in ("true", "true/pm", "per monitor"):
                accepted = True
        else:
            if ns(el.tag) != NS_WS_2016:
                dpi_problems.append("<dpiAwareness> in namespace %r, expected %r"
                                    % (ns(el.tag), NS_WS_2016))
                continue
            # Windows uses the first value it recognises.
            for tok in (t.strip().lower() for t in text.split(",")):
                if tok in ("permonitorv2", "permonitor", "system"):
                    accepted = True
                    break
                if tok == "unaware" or tok == "unaware_gdiscaled":
                    break
    if not accepted and not dpi_problems:
        dpi_problems.append("no DPI awareness declared (need <dpiAware>true</dpiAware> or "
                            "<dpiAwareness>PerMonitorV2|PerMonitor|System</dpiAwareness>)")
    return dep_problems, dpi_problems, ", ".join(decl)


def check_manifest(pe, rep):
    try:
        manifests = find_manifests(pe)
    except MALFORMED as exc:
        rep.fail("manifest: %s" % exc)
        rep.fail("manifest dependency: cannot be checked")
        rep.fail("manifest DPI awareness: cannot be checked")
        return
    ids = sorted({str(m[0]) for m in manifests})
    chosen = [m for m in manifests if m[0] == ISOLATIONAWARE_MANIFEST_RESOURCE_ID]
    if not manifests:
        rep.fail("no RT_MANIFEST (type 24) resource")
    elif not chosen:
        rep.fail("RT_MANIFEST resource ID(s) %s, expected ID %d "
                 "(ISOLATIONAWARE_MANIFEST_RESOURCE_ID, the one a DLL's loader uses)"
                 % (", ".join(ids), ISOLATIONAWARE_MANIFEST_RESOURCE_ID))
    else:
        rep.ok("RT_MANIFEST resource ID(s): %s (ID %d present, language(s) %s, %s bytes)"
               % (", ".join(ids), ISOLATIONAWARE_MANIFEST_RESOURCE_ID,
                  ", ".join(str(m[1]) for m in chosen), ", ".join(str(len(m[2])) for m in chosen)))
    if not chosen:
        rep.fail("manifest dependency: no manifest with ID %d to check"
                 % ISOLATIONAWARE_MANIFEST_RESOURCE_ID)
        rep.fail("manifest DPI awareness: no manifest with ID %d to check"
                 % ISOLATIONAWARE_MANIFEST_RESOURCE_ID)
        return
    dep_all, dpi_all, decls = [], [], []
    for _id, lang, raw in chosen:
        dep, dpi, decl = analyse_manifest(raw)
        dep_all += ["language %s: %s" % (lang, p) for p in dep]
        dpi_all += ["language %s: %s" % (lang, p) for p in dpi]
        decls.append(decl)
    rep.check(not dep_all,
              "manifest depends on %s version %s" % (COMCTL_NAME, COMCTL_VERSION),
              "manifest dependency: " + "; ".join(dep_all))
    rep.check(not dpi_all,
              "manifest declares DPI awareness (%s)" % "; ".join(decls),
              "manifest DPI awareness: " + "; ".join(dpi_all))


def check_version(pe, rep, version):
    """The version resource names the product and carries the project's version,
    in the fixed part (major.minor.patch.0) and as text."""
    try:
        found = find_resources(pe, RT_VERSION)
    except MALFORMED as exc:
        rep.fail("cannot read the version resource: %s" % exc)
        return
    if not found:
        rep.fail("no version resource")
        return
    raw = found[0][2]
    at = raw.find(struct.pack("<I", 0xFEEF04BD))
    parts = [int(p) for p in version.split(".")] + [0]
    if at < 0 or struct.unpack("<IIII", raw[at + 8:at + 24]) != (
            parts[0] << 16 | parts[1], parts[2] << 16 | parts[3], parts[0] << 16 | parts[1], parts[2] << 16 | parts[3]):
        rep.fail("the fixed file and product versions are not %s.0" % version)
        return
    text = raw.decode("utf-16-le", errors="replace")
    wanted = {"ProductName": "Zelmora Zozarevo", "FileVersion": version, "ProductVersion": version,
              "OriginalFilename": "Zelmora Zozarevo.dll"}
    for key, value in wanted.items():
        if not re.search(re.escape(key) + "\x00+" + re.escape(value) + "\x00", text):
            rep.fail("version resource: %s is not %r" % (key, value))
            return
    rep.ok("version resource: Zelmora Zozarevo %s (file and product versions, original file name)" % version)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--objdump", default="i686-w64-mingw32-objdump",
                    help="objdump for i386 PE (used for disassembly only)")
    ap.add_argument("--version", required=True, help="the project's version, major.minor.patch")
    ap.add_argument("dll", help="path to the product DLL")
    args = ap.parse_args(argv)
    rep = Report()

    try:
        with open(args.dll, "rb") as f:
            data = f.read()
    except OSError as exc:
        rep.fail("cannot read %s: %s" % (args.dll, exc))
        return 1
    try:
        pe = PE(data)
    except MALFORMED as exc:
        rep.fail("not a parseable PE image: %s" % exc)
        return 1

    check_header(pe, len(data), rep)
    if pe.magic != PE32_MAGIC:
        rep.fail("remaining checks skipped: not a PE32 image")
        return 1
    by_name, forwarded = check_exports(pe, rep)
    try:
        dlls, iat = read_imports(pe)
        imp_error = None
    except MALFORMED as exc:
        dlls, iat, imp_error = [], {}, exc
    check_calling_convention(pe, rep, args.objdump, args.dll, by_name, forwarded, iat)
    check_manifest(pe, rep)
    check_version(pe, rep, args.version)
    check_imports(pe, rep, dlls, imp_error)
    return 1 if rep.failed else 0


if __name__ == "__main__":
    sys.exit(main())
