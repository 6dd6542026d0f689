// The glTF export read back by two real readers, tinygltf and assimp: the
// scene's nodes and names, and every vertex of the wall, the window quads and
// the leaves (through their nodes' hinge translation and turn) where the OBJ
// export of the same model puts it after the change of frame, to 1e-6 of the
// facade's size; every texture decodes at the size of its source image.
#include "ExportTestSupport.h"
#include "GltfExport.h"
#include "GltfFrame.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <tiny_gltf.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>

using ExportGeometry::Point3;

namespace {

// Node name -> the world positions of its own mesh's vertices, as one reader sees them.
using WorldVertices = std::map<std::string, std::vector<Point3>>;

// 4 x 4 column-major matrices, enough to follow a node chain.
using Matrix = std::array<double, 16>;

Matrix identity()
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix times(const Matrix &a, const Matrix &b)
{
    Matrix m{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k)
                m[std::size_t(c * 4 + r)] += a[std::size_t(k * 4 + r)] * b[std::size_t(c * 4 + k)];
    return m;
}

Point3 apply(const Matrix &m, const Point3 &p)
{
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

// A node's own transform: translation, then rotation (x, y, z, w), as glTF composes them.
Matrix localOf(const tinygltf::Node &node)
{
    Matrix m = identity();
    if (node.rotation.size() == 4) {
        const double x = node.rotation[0], y = node.rotation[1], z = node.rotation[2], w = node.rotation[3];
        m = {1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),     0,
             2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),     0,
             2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y), 0,
             0,                       0,                       0,                       1};
    }
    if (node.translation.size() == 3) {
        m[12] = node.translation[0];
        m[13] = node.translation[1];
        m[14] = node.translation[2];
    }
    return m;
}

std::vector<Point3> tinyPositions(const tinygltf::Model &model, int meshIndex)
{
    std::vector<Point3> points;
    if (meshIndex < 0)
        return points;
    for (const tinygltf::Primitive &primitive : model.meshes[std::size_t(meshIndex)].primitives) {
        const tinygltf::Accessor &accessor = model.accessors[std::size_t(primitive.attributes.at("POSITION"))];
        const tinygltf::BufferView &view = model.bufferViews[std::size_t(accessor.bufferView)];
        const unsigned char *data = model.buffers[std::size_t(view.buffer)].data.data() + view.byteOffset
                                    + accessor.byteOffset;
        for (std::size_t i = 0; i < accessor.count; ++i) {
            float xyz[3];
            std::memcpy(xyz, data + 12 * i, 12);
            points.push_back({xyz[0], xyz[1], xyz[2]});
        }
    }
    return points;
}

WorldVertices tinyWorld(const tinygltf::Model &model)
{
    WorldVertices world;
    std::function<void(int, const Matrix &)> visit = [&](int index, const Matrix &parent) {
        const tinygltf::Node &node = model.nodes[std::size_t(index)];
        const Matrix global = times(parent, localOf(node));
        for (const Point3 &p : tinyPositions(model, node.mesh))
            world[node.name].push_back(apply(global, p));
        for (const int child : node.children)
            visit(child, global);
    };
    for (const int root : model.scenes[std::size_t(model.defaultScene)].nodes)
        visit(root, identity());
    return world;
}

WorldVertices assimpWorld(const aiScene &scene, int &nodeCount)
{
    WorldVertices world;
    nodeCount = 0;
    std::function<void(const aiNode *, const aiMatrix4x4 &)> visit = [&](const aiNode *node,
                                                                         const aiMatrix4x4 &parent) {
        ++nodeCount;
        const aiMatrix4x4 global = parent * node->mTransformation;
        for (unsigned m = 0; m < node->mNumMeshes; ++m) {
            const aiMesh *mesh = scene.mMeshes[node->mMeshes[m]];
            for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
                const aiVector3D p = global * mesh->mVertices[v];
                world[node->mName.C_Str()].push_back({p.x, p.y, p.z});
            }
        }
        for (unsigned c = 0; c < node->mNumChildren; ++c)
            visit(node->mChildren[c], global);
    };
    visit(scene.mRootNode, aiMatrix4x4());
    return world;
}

// What the OBJ export of the same model says, in the glTF frame.
WorldVertices expectedFromObj(const QString &folder, int count, const GltfFrame &frame)
{
    WorldVertices expected;
    const auto add = [&](const std::string &node, const QString &file) {
        ObjData obj;
        if (!readObj(folder + "/" + file, obj))
            return;
        for (const auto &v : obj.v)
            expected[node].push_back(frame.point({v[0], v[1], v[2]}));
    };
    add("wall", "facade.obj");
    for (int i = 0; i < count; ++i) {
        const std::string name = "window_" + std::to_string(i);
        add(name, QString("window_%1.obj").arg(i));
        add(name + "_left", QString("leftshutter_%1.obj").arg(i));
        add(name + "_right", QString("rightshutter_%1.obj").arg(i));
    }
    return expected;
}

// Largest distance between matching vertices; infinity when the sets differ in size.
double largestGap(const std::vector<Point3> &got, const std::vector<Point3> &expected)
{
    if (got.size() != expected.size() || got.empty())
        return HUGE_VAL;
    double gap = 0.0;
    for (std::size_t i = 0; i < got.size(); ++i)
        gap = std::max(gap, std::hypot(got[i].x - expected[i].x, got[i].y - expected[i].y,
                                       got[i].z - expected[i].z));
    return gap;
}

void compareWorlds(const char *reader, const WorldVertices &got, const WorldVertices &expected, double tolerance)
{
    QCOMPARE(got.size(), expected.size());
    for (const auto &[name, points] : expected) {
        const auto found = got.find(name);
        QVERIFY2(found != got.end(), (std::string(reader) + ": no node " + name).c_str());
        const double gap = largestGap(found->second, points);
        QVERIFY2(gap <= tolerance, qPrintable(QString("%1: %2 is %3 m off (tolerance %4)")
                                                  .arg(reader, QString::fromStdString(name)).arg(gap).arg(tolerance)));
    }
}

const tinygltf::Node *nodeNamed(const tinygltf::Model &model, const std::string &name)
{
    for (const tinygltf::Node &node : model.nodes)
        if (node.name == name)
            return &node;
    return nullptr;
}

} // namespace

class TestGltfReadback : public QObject
{
    Q_OBJECT

private slots:
    void scene_data();
    void scene();
    void refusals_data();
    void refusals();
};

void TestGltfReadback::scene_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<double>("facadeWidthMetres"); // 0: the default scale
    QTest::newRow("lattice, 1 px = 1 cm") << 900 << 700 << 2 << 3 << 0.0;
    QTest::newRow("tall facade 12.5 m wide") << 500 << 1300 << 4 << 2 << 12.5;
    QTest::newRow("one window, 0.2 m wide") << 300 << 200 << 1 << 1 << 0.2;
    QTest::newRow("no windows") << 400 << 300 << 0 << 0 << 0.0;
}

void TestGltfReadback::scene()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(double, facadeWidthMetres);
    const auto model = makeShutterModel(width, height,
                                        latticeBoxes(rows, cols, width / std::max(cols, 1),
                                                     height / std::max(rows, 1), 80, 120));
    // Every window its own pair of angles: closed, wide open and between.
    std::vector<FacadeWindow> &windows = *model->currentGroup();
    for (std::size_t i = 0; i < windows.size(); ++i) {
        windows[i].leftAngle = std::fmod(0.7 * double(i), QWindowData2D::pi);
        windows[i].rightAngle = QWindowData2D::pi - std::fmod(1.1 * double(i), QWindowData2D::pi);
    }
    const int count = int(windows.size());

    double metresPerPixel = GltfExport::kDefaultMetresPerPixel;
    if (facadeWidthMetres > 0.0)
        QVERIFY(GltfExport::metresPerPixelFor(*model, facadeWidthMetres, metresPerPixel));
    QVERIFY(std::abs(metresPerPixel * width - (facadeWidthMetres > 0.0 ? facadeWidthMetres : 0.01 * width)) < 1e-12);
    QTemporaryDir dir;
    const QString glbPath = dir.filePath("facade.glb");
    Failure failure;
    QVERIFY2(GltfExport::writeGlb(*model, glbPath.toStdString(), metresPerPixel, &failure), failure.reason.c_str());
    QVERIFY2(model->saveFacadeToMesh(dir.filePath("facade.obj").toStdString(), &failure), failure.reason.c_str());
    const GltfFrame frame{metresPerPixel, double(height)};
    const WorldVertices expected = expectedFromObj(dir.path(), count, frame);
    const double tolerance = 1e-6 * std::max(width, height) * metresPerPixel;

    // tinygltf: the structure, the extras and the geometry.
    tinygltf::TinyGLTF loader;
    tinygltf::Model gltf;
    std::string error;
    std::string warning;
    QVERIFY2(loader.LoadBinaryFromFile(&gltf, &error, &warning, glbPath.toStdString()), error.c_str());
    QVERIFY2(warning.empty(), warning.c_str());
    QCOMPARE(int(gltf.nodes.size()), 2 + 3 * count);
    QCOMPARE(gltf.nodes[std::size_t(gltf.scenes[0].nodes.at(0))].name, std::string("facade"));
    compareWorlds("tinygltf", tinyWorld(gltf), expected, tolerance);
    for (int i = 0; i < count; ++i) {
        for (const bool left : {true, false}) {
            const std::string name = "window_" + std::to_string(i) + (left ? "_left" : "_right");
            const tinygltf::Node *leaf = nodeNamed(gltf, name);
            QVERIFY2(leaf, name.c_str());
            // The pivot is the hinge: the OBJ leaf's fourth corner lies on it.
            const Point3 hinge = expected.at(name)[3];
            QVERIFY(std::hypot(leaf->translation[0] - hinge.x, leaf->translation[1] - hinge.y,
                               leaf->translation[2] - hinge.z) <= tolerance);
            // The turn: 180 degrees less the leaf's angle, about the vertical.
            const double angle = left ? windows[std::size_t(i)].leftAngle : windows[std::size_t(i)].rightAngle;
            QCOMPARE(leaf->rotation[0], 0.0);
            QCOMPARE(leaf->rotation[2], 0.0);
            const double turn = 2.0 * std::atan2(std::abs(leaf->rotation[1]), leaf->rotation[3]);
            QVERIFY2(std::abs(turn - (QWindowData2D::pi - angle)) < 1e-9, name.c_str());
            QVERIFY(std::abs(leaf->extras.Get("angle").GetNumberAsDouble() - angle * 180.0 / QWindowData2D::pi)
                    < 1e-9);
        }
    }
    // Textures: the wall, each window, both leaves; each decodes at its source's size.
    const int textures = count > 0 ? 3 + count : 1;
    QCOMPARE(int(gltf.images.size()), textures);
    std::map<std::string, QSize> sources{{"materialFacade", model->background.size()},
                                         {"leftshutter", model->leftShutterImage.size()},
                                         {"rightshutter", model->rightShutterImage.size()}};
    for (int i = 0; i < count; ++i)
        sources["window_" + std::to_string(i)] = model->currentImages[std::size_t(i)]->size();
    for (const tinygltf::Image &image : gltf.images) {
        QVERIFY2(sources.count(image.name), image.name.c_str());
        QCOMPARE(QSize(image.width, image.height), sources[image.name]);
    }

    // assimp: the same nodes (its root is the scene's root), geometry and textures.
    Assimp::Importer importer;
    const aiScene *scene = importer.ReadFile(glbPath.toStdString(), 0);
    QVERIFY2(scene, importer.GetErrorString());
    int nodeCount = 0;
    compareWorlds("assimp", assimpWorld(*scene, nodeCount), expected, tolerance);
    QCOMPARE(nodeCount, 2 + 3 * count);
    QCOMPARE(int(scene->mNumTextures), textures);
    for (unsigned t = 0; t < scene->mNumTextures; ++t) {
        const aiTexture *texture = scene->mTextures[t];
        QCOMPARE(texture->mHeight, 0u); // compressed, as stored
        const QImage decoded = QImage::fromData(reinterpret_cast<const uchar *>(texture->pcData),
                                                int(texture->mWidth), "PNG");
        QVERIFY(!decoded.isNull());
    }
}

// A model the OBJ export refuses is refused with the same reason; a facade
// width must be a positive finite number.
void TestGltfReadback::refusals_data()
{
    QTest::addColumn<bool>("withImage");
    QTest::addColumn<double>("facadeWidthMetres");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no facade image") << false << 1.0 << QString();
    QTest::newRow("zero width") << true << 0.0 << "the facade width must be a positive number of metres";
    QTest::newRow("negative width") << true << -3.0 << "the facade width must be a positive number of metres";
    QTest::newRow("not a number") << true << std::nan("") << "the facade width must be a positive number of metres";
    QTest::newRow("infinite") << true << HUGE_VAL << "the facade width must be a positive number of metres";
}

void TestGltfReadback::refusals()
{
    QFETCH(bool, withImage);
    QFETCH(double, facadeWidthMetres);
    QFETCH(QString, reason);
    auto model = withImage ? makeShutterModel(300, 200, {Box{10, 10, 90, 130}}) : std::make_unique<QWindowData2D>();
    Failure failure;
    double metresPerPixel = 0.0;
    std::string bytes;
    const bool scaled = GltfExport::metresPerPixelFor(*model, facadeWidthMetres, metresPerPixel, &failure);
    if (withImage) {
        QVERIFY(!scaled);
        QCOMPARE(QString::fromStdString(failure.reason), reason);
        return;
    }
    // Without a model, the export's own failure is the OBJ export's.
    Failure objFailure;
    QTemporaryDir dir;
    QVERIFY(!model->saveFacadeToMesh(dir.filePath("facade.obj").toStdString(), &objFailure));
    Failure glbFailure;
    QVERIFY(!GltfExport::glbBytes(*model, GltfExport::kDefaultMetresPerPixel, bytes, &glbFailure));
    QCOMPARE(glbFailure.reason, objFailure.reason);
    QVERIFY(bytes.empty());
}

QTEST_GUILESS_MAIN(TestGltfReadback)
#include "tst_gltfreadback.moc"
