// The preview's Send button, with a stand-in mail opener first on PATH that records its arguments and the number of
// pages of the file it was given.
#include "output/RLSendMail.h"

#include "OutputTestSupport.h"
#include "output/RLPreview.h"
#include "output/RLPreviewForm.h"
#include "pages/RLConsts.h"

#include "support/ScopedEnv.h"
#include "support/TempFolder.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace outputtest;

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class SendMail : public testing::Test {
protected:
  void SetUp() override {
    application_ = MakeTestApplication();
    previous_handler_ = SetMessageBoxHandler(
        [this](const std::string& text, const std::string&, TMsgDlgType) { boxes_.push_back(text); });
    fs::create_directory(bin_);
  }
  void TearDown() override { SetMessageBoxHandler(previous_handler_); }

  // The stand-in: one argument a line into "args", the attachment's page count into "pages", then `status`.
  void InstallOpener(int status) {
    const fs::path script = bin_ / "xdg-email";
    std::ofstream(script) << "#!/bin/sh\n"
                          << "for a in \"$@\"; do echo \"$a\"; done > '" << (folder_.path() / "args").string() << "'\n"
                          << "/usr/bin/pdfinfo \"$4\" | /bin/sed -n 's/^Pages: *//p' > '"
                          << (folder_.path() / "pages").string() << "'\n"
                          << "exit " << status << "\n";
    ::chmod(script.c_str(), 0755);
  }

  // The messages are looked for in Portuguese: the program starts in the user's language.
  ScopedEnv language_{"LC_ALL", "pt_BR.UTF-8"};
  std::unique_ptr<TApplication> application_;
  TMessageBoxHandler previous_handler_;
  std::vector<std::string> boxes_;
  TempFolder folder_;
  fs::path bin_ = folder_.path() / "bin";
  // Only the stand-in's folder: no real mail program is ever reached.
  ScopedEnv path_{"PATH", bin_.string()};
  TComponent owner_{nullptr};
};

TEST_F(SendMail, TheReportGoesAsAPdfAttachedToANewMessage) {
  InstallOpener(0);
  TRLGraphicStorage* pages = MakePages(owner_, 3);
  pages->SetTitle("Clientes por Cidade");
  TRLPreviewForm form;
  form.Previews(0)->SetPages(pages);
  ASSERT_TRUE(form.SpeedButtonSend->Enabled());
  EXPECT_EQ(form.SpeedButtonSend->Hint(), EngineMessages().msgSendTo);
  form.SpeedButtonSendClick(form.SpeedButtonSend);

  const std::string attachment = (fs::path(AttachmentFolder()) / "Clientes por Cidade.pdf").string();
  EXPECT_EQ(Read(folder_.path() / "args"), "--subject\nClientes por Cidade\n--attach\n" + attachment + "\n");
  EXPECT_EQ(Read(folder_.path() / "pages"), "3\n");
  EXPECT_TRUE(boxes_.empty()) << boxes_.front();
  // The folder is the user's alone.
  struct stat info {};
  ASSERT_EQ(::stat(AttachmentFolder().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(SendMail, AFailingOpenerIsShownInPortuguese) {
  InstallOpener(3);
  TRLGraphicStorage* pages = MakePages(owner_, 1);
  TRLPreviewForm form;
  form.Previews(0)->SetPages(pages);
  form.SpeedButtonSendClick(form.SpeedButtonSend);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0],
            "Não foi possível enviar o relatório por e-mail: não há programa de e-mail configurado nesta área de "
            "trabalho.");
}

TEST_F(SendMail, WithoutAnOpenerTheButtonIsDisabledAndSaysWhy) {
  TRLPreviewForm form;
  EXPECT_FALSE(form.SpeedButtonSend->Enabled());
  EXPECT_NE(form.SpeedButtonSend->Hint().find("xdg-email"), std::string::npos) << form.SpeedButtonSend->Hint();
  EXPECT_EQ(form.SpeedButtonSend->Hint(), SendUnavailableReason());
}

TEST(SendMailPieces, TheAttachmentIsNamedAfterTheTitle) {
  const std::pair<std::string, std::string> cases[] = {
      {"Clientes por Cidade", "Clientes por Cidade.pdf"},
      {"  Relação: São Paulo/SP  ", "Relação São PauloSP.pdf"},
      {"", "relatorio.pdf"},
      {"..", "relatorio.pdf"},
      {"\"*?\"", "relatorio.pdf"},
  };
  for (const auto& [title, name] : cases) EXPECT_EQ(AttachmentName(title), name) << title;
}

}  // namespace
