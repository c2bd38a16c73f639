// Connection strings shown to people, and the connection parameters of a
// catalog server.  Internal to the library.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace RVNADO::detail {

// The text with every password replaced by "****": the values of the keys
// "Password" and "Pwd" (any case, in "key=value;" pairs, in libpq's
// "key=value" words and in URI query parameters) and the password of a URI's
// "user:password@".  Safe on malformed text.
std::string MaskPassword(const std::string& text);

// The libpq keywords and values for the pairs of a connection string (keys in
// lower case): Host, Port, Database (or Initial Catalog), User ID (or UID),
// Password (or PWD) and SSL Mode (or SslMode) under their libpq names, a
// "postgresql://" URI in Data Source as the URI it is, any other libpq
// keyword as it is.  The provider key is dropped.  connectSeconds becomes
// connect_timeout unless the string sets one, and bounds the wait for a
// server that stops answering (tcp_user_timeout, keepalives).
std::vector<std::pair<std::string, std::string>>
PostgresParameters(const std::map<std::string, std::string>& pairs, long connectSeconds);

} // namespace RVNADO::detail
