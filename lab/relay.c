/* relay ADDRESSES-FILE PORT UPSTREAM-ADDRESS UPSTREAM-PORT DELAY-MS STATUS-FILE
 *
 * The lab's wide-area network: listens on PORT of every address in the file
 * (one a line), connects each client to the upstream server, and carries
 * every byte both ways DELAY-MS late, as a link with that one-way delay
 * would. One process, one epoll loop. Every 100 ms STATUS-FILE says
 * "open N max M checks C maxchecks K pid P": the connections open now and
 * the most open at once since the start or the last SIGUSR1; the same for
 * those whose client sent more than a bare negotiation (a reachability
 * probe sends one, a check much more); and whom to send the signal to.
 *
 * The upstream server's listen backlog is short: a burst overflows it and
 * the kernel drops the SYN, which it would send again only a second later.
 * An upstream connection not made within 50 ms is made anew instead, so
 * a burst costs the server's accept rate, not the SYN back-off.
 */
#define _GNU_SOURCE
#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

enum { LISTENER = 1, SIDE = 2 };

struct buffer {
	char *data;
	size_t length, capacity;
};

struct pair;

/* One end of a relayed connection: what arrives on it goes, late, to the other. */
struct side {
	int kind;
	int fd;
	struct pair *pair;
	struct side *peer;
	struct buffer out; /* due, not yet written */
	int eof_due;	   /* the peer ended: shut this side's writing once `out` is empty */
	int closed;	   /* its writing shut */
	int ended;	   /* nothing more to read from it */
	int connecting;	   /* the upstream side, until its connection is made */
	int64_t first_try, this_try;
};

struct pair {
	struct side client, server;
	int alive;
	long chunks; /* waiting chunks that name it: freed only when none are left */
	size_t sent; /* by the client, so far */
	int check;   /* it sent more than a probe does */
	struct pair *next_dead;
};

/* What was read, waiting for its time; constant delay keeps them in order. */
struct chunk {
	struct chunk *next;
	int64_t due;
	struct side *to;
	struct pair *pair;
	size_t length; /* 0: the sender ended */
	char data[];
};

static int epoll_fd;
static int64_t delay_ns;
static struct chunk *head, *tail;
static long open_pairs, max_pairs, open_checks, max_checks;
static struct sockaddr_in upstream;
/* Upstream sides still connecting, looked at every turn of the loop. */
static struct side **connecting;
static size_t connecting_count, connecting_capacity;
#define PROBE_BYTES 512
#define RETRY_NS ((int64_t)50000000)
#define GIVE_UP_NS ((int64_t)30000000000)
static volatile sig_atomic_t reset_max;
static struct pair *dead;

static int64_t now_ns(void)
{
	struct timespec t;
	clock_gettime(CLOCK_MONOTONIC, &t);
	return (int64_t)t.tv_sec * 1000000000 + t.tv_nsec;
}

static void on_usr1(int sig)
{
	(void)sig;
	reset_max = 1;
}

/* No events: not watched at all, since a hung-up socket would report its
 * hang-up over and over. */
static void watch(struct side *s, uint32_t events, int op)
{
	struct epoll_event e = {.events = events, .data.ptr = s};
	if (events == 0) {
		epoll_ctl(epoll_fd, EPOLL_CTL_DEL, s->fd, NULL);
	} else if (epoll_ctl(epoll_fd, op, s->fd, &e) < 0 && errno == ENOENT) {
		epoll_ctl(epoll_fd, EPOLL_CTL_ADD, s->fd, &e);
	}
}

static void close_pair(struct pair *p)
{
	if (!p->alive)
		return;
	p->alive = 0;
	close(p->client.fd);
	close(p->server.fd);
	free(p->client.out.data);
	free(p->server.out.data);
	p->client.out = p->server.out = (struct buffer){0};
	open_pairs--;
	if (p->check)
		open_checks--;
	p->next_dead = dead;
	dead = p;
}

/* After a round of events, when nothing can name them any more. */
static void free_dead(void)
{
	for (struct pair **p = &dead; *p;) {
		if ((*p)->chunks == 0) {
			struct pair *gone = *p;
			*p = gone->next_dead;
			free(gone);
		} else {
			p = &(*p)->next_dead;
		}
	}
}

static int append(struct buffer *b, const char *data, size_t length)
{
	if (b->length + length > b->capacity) {
		size_t capacity = b->capacity ? b->capacity * 2 : 65536;
		while (capacity < b->length + length)
			capacity *= 2;
		char *grown = realloc(b->data, capacity);
		if (!grown)
			return -1;
		b->data = grown;
		b->capacity = capacity;
	}
	memcpy(b->data + b->length, data, length);
	b->length += length;
	return 0;
}

static int start_connect(struct side *s)
{
	s->fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
	if (s->fd < 0)
		return -1;
	int one = 1;
	setsockopt(s->fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
	if (connect(s->fd, (const struct sockaddr *)&upstream, sizeof upstream) < 0 && errno != EINPROGRESS) {
		close(s->fd);
		s->fd = -1;
		return -1;
	}
	s->connecting = 1;
	s->this_try = now_ns();
	watch(s, EPOLLOUT, EPOLL_CTL_ADD);
	return 0;
}

/* The upstream side made anew: its SYN was dropped or refused. */
static void reconnect(struct side *s)
{
	epoll_ctl(epoll_fd, EPOLL_CTL_DEL, s->fd, NULL);
	close(s->fd);
	if (now_ns() - s->first_try > GIVE_UP_NS || start_connect(s) < 0) {
		s->fd = -1;
		close_pair(s->pair);
	}
}

/* Whether the upstream side's connection is made; a failed one is tried again. */
static int connected(struct side *s)
{
	struct pollfd p = {.fd = s->fd, .events = POLLOUT};
	if (poll(&p, 1, 0) == 0) {
		watch(s, EPOLLOUT, EPOLL_CTL_MOD);
		return 0;
	}
	int error = 0;
	socklen_t length = sizeof error;
	if (getsockopt(s->fd, SOL_SOCKET, SO_ERROR, &error, &length) < 0 || error != 0) {
		reconnect(s);
		return 0;
	}
	s->connecting = 0;
	return 1;
}

/* Writes what is due on this side; shuts it once the peer's end is due.
 * An upstream connection still being made keeps it until it is. */
static void flush(struct side *s)
{
	if (s->connecting && !connected(s))
		return;
	while (s->out.length > 0) {
		ssize_t n = write(s->fd, s->out.data, s->out.length);
		if (n < 0) {
			if (errno == EAGAIN)
				break;
			close_pair(s->pair);
			return;
		}
		memmove(s->out.data, s->out.data + n, s->out.length - (size_t)n);
		s->out.length -= (size_t)n;
	}
	if (s->out.length == 0 && s->eof_due && !s->closed) {
		s->closed = 1;
		shutdown(s->fd, SHUT_WR);
		if (s->peer->closed)
			close_pair(s->pair);
	}
	watch(s, (s->ended ? 0 : EPOLLIN) | (s->out.length ? EPOLLOUT : 0), EPOLL_CTL_MOD);
}

static void schedule(struct side *to, const char *data, size_t length)
{
	struct chunk *c = malloc(sizeof *c + length);
	if (!c) {
		close_pair(to->pair);
		return;
	}
	c->next = NULL;
	c->due = now_ns() + delay_ns;
	c->to = to;
	c->pair = to->pair;
	c->length = length;
	if (length)
		memcpy(c->data, data, length);
	to->pair->chunks++;
	if (tail)
		tail->next = c;
	else
		head = c;
	tail = c;
}

static void deliver(void)
{
	const int64_t now = now_ns();
	while (head && head->due <= now) {
		struct chunk *c = head;
		head = c->next;
		if (!head)
			tail = NULL;
		if (c->pair->alive) {
			if (c->length == 0)
				c->to->eof_due = 1;
			else if (append(&c->to->out, c->data, c->length) != 0)
				close_pair(c->pair);
			if (c->pair->alive)
				flush(c->to);
		}
		c->pair->chunks--;
		free(c);
	}
}

static int grow_connecting(void)
{
	size_t capacity = connecting_capacity ? connecting_capacity * 2 : 1024;
	struct side **grown = realloc(connecting, capacity * sizeof *grown);
	if (!grown)
		return -1;
	connecting = grown;
	connecting_capacity = capacity;
	return 0;
}

static void accept_all(int listener)
{
	for (;;) {
		int fd = accept4(listener, NULL, NULL, SOCK_NONBLOCK | SOCK_CLOEXEC);
		if (fd < 0)
			return;
		struct pair *p = calloc(1, sizeof *p);
		if (!p || (connecting_count == connecting_capacity && grow_connecting() < 0)) {
			free(p);
			close(fd);
			continue;
		}
		int one = 1;
		setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
		p->client = (struct side){.kind = SIDE, .fd = fd, .pair = p, .peer = &p->server};
		p->server = (struct side){.kind = SIDE, .pair = p, .peer = &p->client, .first_try = now_ns()};
		if (start_connect(&p->server) < 0) {
			close(fd);
			free(p);
			continue;
		}
		p->alive = 1;
		watch(&p->client, EPOLLIN, EPOLL_CTL_ADD);
		connecting[connecting_count++] = &p->server;
		if (++open_pairs > max_pairs)
			max_pairs = open_pairs;
	}
}

/* Drops the sides connected or gone; makes anew those whose try is stale. */
static void look_at_connecting(void)
{
	const int64_t now = now_ns();
	size_t kept = 0;
	for (size_t i = 0; i < connecting_count; i++) {
		struct side *s = connecting[i];
		if (!s->pair->alive || !s->connecting)
			continue;
		if (now - s->this_try > RETRY_NS)
			reconnect(s);
		if (s->pair->alive && s->connecting)
			connecting[kept++] = s;
	}
	connecting_count = kept;
}

static void receive(struct side *s)
{
	if (s->ended)
		return;
	char data[65536];
	for (;;) {
		ssize_t n = read(s->fd, data, sizeof data);
		if (n > 0) {
			struct pair *p = s->pair;
			if (s == &p->client && (p->sent += (size_t)n) > PROBE_BYTES && !p->check) {
				p->check = 1;
				if (++open_checks > max_checks)
					max_checks = open_checks;
			}
			schedule(s->peer, data, (size_t)n);
			continue;
		}
		if (n == 0) {
			s->ended = 1;
			schedule(s->peer, NULL, 0);
			watch(s, s->out.length ? EPOLLOUT : 0, EPOLL_CTL_MOD);
		} else if (errno != EAGAIN) {
			close_pair(s->pair);
		}
		return;
	}
}

static int listen_on(const char *address, int port)
{
	struct sockaddr_in a = {.sin_family = AF_INET, .sin_port = htons((uint16_t)port)};
	if (inet_pton(AF_INET, address, &a.sin_addr) != 1)
		return -1;
	int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
	int one = 1;
	setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
	if (fd < 0 || bind(fd, (struct sockaddr *)&a, sizeof a) < 0 || listen(fd, 1024) < 0)
		return -1;
	return fd;
}

static void write_status(const char *path)
{
	char text[128];
	int length = snprintf(text, sizeof text, "open %ld max %ld checks %ld maxchecks %ld pid %ld\n", open_pairs,
			      max_pairs, open_checks, max_checks, (long)getpid());
	char temporary[4096];
	snprintf(temporary, sizeof temporary, "%s.new", path);
	FILE *f = fopen(temporary, "w");
	if (!f)
		return;
	fwrite(text, 1, (size_t)length, f);
	fclose(f);
	rename(temporary, path);
}

int main(int argc, char **argv)
{
	if (argc != 7) {
		fprintf(stderr, "usage: relay ADDRESSES-FILE PORT UPSTREAM-ADDRESS UPSTREAM-PORT DELAY-MS STATUS-FILE\n");
		return 2;
	}
	const int port = atoi(argv[2]);
	upstream = (struct sockaddr_in){.sin_family = AF_INET, .sin_port = htons((uint16_t)atoi(argv[4]))};
	if (inet_pton(AF_INET, argv[3], &upstream.sin_addr) != 1)
		return 2;
	delay_ns = (int64_t)atoi(argv[5]) * 1000000;
	signal(SIGPIPE, SIG_IGN);
	signal(SIGUSR1, on_usr1);
	epoll_fd = epoll_create1(EPOLL_CLOEXEC);
	FILE *list = fopen(argv[1], "r");
	if (!list) {
		perror(argv[1]);
		return 1;
	}
	static struct side listeners[65536];
	int count = 0;
	char line[64];
	while (fgets(line, sizeof line, list) && count < 65536) {
		line[strcspn(line, "\r\n")] = '\0';
		if (!*line)
			continue;
		int fd = listen_on(line, port);
		if (fd < 0) {
			fprintf(stderr, "relay: cannot listen on %s:%d: %s\n", line, port, strerror(errno));
			return 1;
		}
		listeners[count] = (struct side){.kind = LISTENER, .fd = fd};
		watch(&listeners[count++], EPOLLIN, EPOLL_CTL_ADD);
	}
	fclose(list);
	fprintf(stderr, "relay: %d addresses, %s ms each way\n", count, argv[5]);
	int64_t next_status = 0;
	struct epoll_event events[256];
	for (;;) {
		int wait = connecting_count ? 5 : 100;
		if (head) {
			int64_t left = (head->due - now_ns() + 999999) / 1000000;
			wait = left < 0 ? 0 : left < wait ? (int)left : wait;
		}
		int n = epoll_wait(epoll_fd, events, 256, wait);
		for (int i = 0; i < n; i++) {
			struct side *s = events[i].data.ptr;
			if (s->kind == LISTENER) {
				accept_all(s->fd);
			} else if (s->pair->alive) {
				if (events[i].events & (EPOLLIN | EPOLLHUP | EPOLLERR))
					receive(s);
				if (s->pair->alive && (events[i].events & EPOLLOUT))
					flush(s);
			}
		}
		deliver();
		look_at_connecting();
		free_dead();
		if (reset_max) {
			reset_max = 0;
			max_pairs = open_pairs;
			max_checks = open_checks;
		}
		if (now_ns() >= next_status) {
			write_status(argv[6]);
			next_status = now_ns() + 100000000;
		}
	}
}
