#ifndef _GNU_SOURCE
#define _GNU_SOURCE /* pipe2 */
#endif
#include "server_versions.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

struct child {
	pid_t pid;
	int fd;
	size_t index;
};

int64_t rm_monotonic_ms(void)
{
	struct timespec t;
	clock_gettime(CLOCK_MONOTONIC, &t);
	return (int64_t)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

_Noreturn static void ask(const char *server, int fd, rm_version_query query, void *context, pid_t parent)
{
	/* Dies with the helper, which may be killed at its call limit. */
	prctl(PR_SET_PDEATHSIG, SIGKILL);
	if (getppid() != parent)
		_exit(1);
	uint32_t version[2];
	if (query(context, server, version) && write(fd, version, sizeof version) != (ssize_t)sizeof version)
		_exit(1);
	_exit(0);
}

static bool start(struct child *c, const struct rm_server_info101 *server, size_t index, rm_version_query query,
		  void *context)
{
	int fds[2];
	if (pipe2(fds, O_CLOEXEC) != 0)
		return false;
	pid_t parent = getpid();
	pid_t pid = fork();
	if (pid == 0) {
		close(fds[0]);
		ask(server->name, fds[1], query, context, parent);
	}
	close(fds[1]);
	if (pid < 0) {
		close(fds[0]);
		return false;
	}
	*c = (struct child){pid, fds[0], index};
	return true;
}

static void reap(struct child *c, bool kill_it)
{
	if (kill_it)
		kill(c->pid, SIGKILL);
	close(c->fd);
	while (waitpid(c->pid, NULL, 0) < 0 && errno == EINTR)
		;
}

/* Takes the answer of a child that is done, if it gave one. */
static void collect(struct child *c, struct rm_server_info101 *servers)
{
	uint32_t version[2];
	ssize_t n;
	while ((n = read(c->fd, version, sizeof version)) < 0 && errno == EINTR)
		;
	if (n == (ssize_t)sizeof version) {
		servers[c->index].version_major = version[0];
		servers[c->index].version_minor = version[1];
	}
	reap(c, false);
}

void rm_query_versions(struct rm_server_info101 *servers, const bool *wanted, size_t count, unsigned parallel,
		       int64_t deadline, rm_version_query query, void *context)
{
	if (parallel == 0)
		return;
	struct child *running = calloc(parallel, sizeof *running);
	struct pollfd *fds = calloc(parallel, sizeof *fds);
	size_t active = 0, next = 0;
	while (running && fds) {
		int64_t left = deadline - rm_monotonic_ms();
		if (left <= 0)
			break;
		for (; next < count && active < parallel; next++)
			if (wanted[next] && start(&running[active], &servers[next], next, query, context))
				active++;
		if (active == 0)
			break;
		for (size_t i = 0; i < active; i++)
			fds[i] = (struct pollfd){.fd = running[i].fd, .events = POLLIN};
		if (poll(fds, active, (int)(left > 60000 ? 60000 : left)) < 0 && errno != EINTR)
			break;
		for (size_t i = active; i-- > 0;) {
			if (!fds[i].revents)
				continue;
			collect(&running[i], servers);
			running[i] = running[--active];
		}
	}
	for (size_t i = 0; i < active; i++)
		reap(&running[i], true);
	free(running);
	free(fds);
}
