/*
 * Preload library for 32-bit Wine running under qemu user-mode emulation.
 *
 * qemu delivers fault signals with uc_mcontext.gregs[REG_TRAPNO] = -1.
 * Wine's i386 signal code decides the Windows exception from that trap
 * number, so every fault would be reported as an illegal instruction.
 * This library wraps sigaction(): fault handlers installed with SA_SIGINFO
 * are replaced by fix_trapno(), which rebuilds the trap number from the
 * signal number and si_code (as the kernel would have set it) and then
 * calls the original handler.
 *
 * Built for i386 without any i386 headers (the build machine has no
 * multilib packages), so the few glibc i386 types are declared here:
 *   gcc -m32 -O2 -fPIC -fno-stack-protector -shared -nostdlib \
 *       -o trapno_fix.so trapno_fix.c /lib/i386-linux-gnu/libc.so.6
 */

#define RTLD_NEXT ((void *)-1L)
#define SA_SIGINFO 4

#define SIGILL 4
#define SIGTRAP 5
#define SIGBUS 7
#define SIGFPE 8
#define SIGSEGV 11
#define MAX_SIG 64

#define SEGV_MAPERR 1
#define SEGV_ACCERR 2
#define FPE_INTDIV 1
#define FPE_INTOVF 2
#define TRAP_TRACE 2

/* x86 trap numbers */
#define T_DIVIDE 0
#define T_SINGLESTEP 1
#define T_BREAKPOINT 3
#define T_OVERFLOW 4
#define T_ILLEGAL 6
#define T_GPF 13
#define T_PAGEFAULT 14
#define T_FPU 16

#define REG_TRAPNO 12 /* index in gregs[] on i386 */

struct siginfo_head { /* start of i386 siginfo_t */
  int si_signo;
  int si_errno;
  int si_code;
};

struct i386_sigaction {   /* glibc's struct sigaction on i386 */
  void *handler;          /* sa_handler or sa_sigaction */
  unsigned long mask[32]; /* sigset_t, 1024 bits */
  int flags;
  void (*restorer)(void);
};

struct i386_ucontext { /* start of glibc's ucontext_t on i386 */
  unsigned long uc_flags;
  void *uc_link;
  void *ss_sp; /* stack_t uc_stack */
  int ss_flags;
  unsigned long ss_size;
  int gregs[19]; /* uc_mcontext.gregs */
};

typedef void (*info_handler)(int, struct siginfo_head *, void *);
typedef int (*sigaction_fn)(int, const struct i386_sigaction *, struct i386_sigaction *);

extern void *dlsym(void *handle, const char *name);

static sigaction_fn real_sigaction;
static info_handler original[MAX_SIG + 1];

static int is_fault_signal(int sig) {
  return sig == SIGSEGV || sig == SIGBUS || sig == SIGILL || sig == SIGFPE || sig == SIGTRAP;
}

static int trap_number(int sig, int code) {
  switch (sig) {
    case SIGSEGV:
      return (code == SEGV_MAPERR || code == SEGV_ACCERR) ? T_PAGEFAULT : T_GPF;
    case SIGBUS:
      return T_PAGEFAULT;
    case SIGILL:
      return T_ILLEGAL;
    case SIGFPE:
      if (code == FPE_INTDIV) return T_DIVIDE;
      if (code == FPE_INTOVF) return T_OVERFLOW;
      return T_FPU;
    case SIGTRAP:
      return code == TRAP_TRACE ? T_SINGLESTEP : T_BREAKPOINT;
  }
  return -1;
}

static void fix_trapno(int sig, struct siginfo_head *info, void *context) {
  struct i386_ucontext *uc = context;
  if (uc->gregs[REG_TRAPNO] == -1) uc->gregs[REG_TRAPNO] = trap_number(sig, info->si_code);
  original[sig](sig, info, context);
}

int sigaction(int sig, const struct i386_sigaction *act, struct i386_sigaction *old) {
  struct i386_sigaction wrapped;
  info_handler previous = 0;
  int wrap = 0, ret;

  if (!real_sigaction) real_sigaction = (sigaction_fn)dlsym(RTLD_NEXT, "sigaction");

  if (sig >= 1 && sig <= MAX_SIG) {
    previous = original[sig];
    if (act && is_fault_signal(sig) && (act->flags & SA_SIGINFO)) {
      wrapped = *act;
      wrapped.handler = (void *)fix_trapno;
      original[sig] = (info_handler)act->handler;
      act = &wrapped;
      wrap = 1;
    }
  }
  ret = real_sigaction(sig, act, old);
  if (ret != 0 && wrap) original[sig] = previous;
  /* Report the caller's own handler, never the wrapper. */
  if (ret == 0 && old && old->handler == (void *)fix_trapno) old->handler = (void *)previous;
  return ret;
}
