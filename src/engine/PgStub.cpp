#include "engine/Driver.h"
#include "engine/Errors.h"
namespace engine::detail {
Status OpenPostgres(const OpenRequest&, std::unique_ptr<Connection>&) { return Fail(status::UnsupportedDriver); }
}
