/* Names checked before they reach a server: computer names, which end up in
 * Samba's binding strings, and new account names, which a Windows server
 * would refuse and a Samba server would take as they are. */
#ifndef ROSTERMILL_NET_NAMES_H
#define ROSTERMILL_NET_NAMES_H

#include <stdbool.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The name without its leading backslashes. */
const char *rm_strip_backslashes(const char *server);
/* A NetBIOS computer name (up to 15 characters: letters, digits and
 * ! @ # $ % ^ & ' ( ) . - _ { } ~), a DNS name or an IPv4 address. */
bool rm_valid_server(const char *name);
/* A NetBIOS workgroup name: 1 to 15 characters, none of \ / : * ? " < > |
 * and no control character. It reaches no binding string. */
bool rm_valid_workgroup(const char *name);
/* 0 for a name an account may take; 87 for an empty one; 2202 for one of
 * more than 20 characters, with "/\[]:|<>+=;?*, or a control character,
 * or made only of dots and blanks. */
uint32_t rm_check_account_name(const char *name);

#ifdef __cplusplus
}
#endif

#endif
