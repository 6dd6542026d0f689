#include "GltfExport.h"

#include "ExportFiles.h"
#include "FacadeWall.h"
#include "GltfFrame.h"
#include "PngFile.h"
#include "TextFormat.h"

#include <QImage>

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

using ExportGeometry::Point3;

namespace GltfExport {

namespace {

// Vertices and triangles of one primitive, already in GltfFrame.
struct Shape {
    std::vector<float> positions; // x, y, z
    std::vector<float> texture;   // u, v with v counted downwards, as glTF has it
    std::vector<std::uint32_t> indices;

    void add(const Point3 &p, double u, double vUp)
    {
        positions.insert(positions.end(), {float(p.x), float(p.y), float(p.z)});
        texture.insert(texture.end(), {float(u), float(1.0 - vUp)});
    }
    // A convex polygon, its corners given by vertex number, as a fan of triangles.
    void addPolygon(std::initializer_list<std::uint32_t> corners)
    {
        const std::vector<std::uint32_t> c(corners);
        for (std::size_t i = 1; i + 1 < c.size(); ++i)
            indices.insert(indices.end(), {c[0], c[i], c[i + 1]});
    }
};

// Builds the tinygltf model: one buffer that every view points into, one
// sampler, one material per texture.
class SceneBuilder
{
public:
    SceneBuilder()
    {
        m_model.asset.version = "2.0";
        m_model.asset.generator = "Tessivo";
        m_model.buffers.emplace_back();
        tinygltf::Sampler sampler;
        sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
        sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
        sampler.wrapS = TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE;
        sampler.wrapT = TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE;
        m_model.samplers.push_back(sampler);
        m_model.extensionsUsed.push_back(kUnlit);
    }

    // An unlit, two-sided material showing image (PNG-encoded into the
    // buffer); without texture when the image cannot be encoded.
    int material(const std::string &name, const QImage *image)
    {
        tinygltf::Material material;
        material.name = name;
        material.doubleSided = true;
        material.pbrMetallicRoughness.metallicFactor = 0.0;
        material.pbrMetallicRoughness.roughnessFactor = 1.0;
        // The view shows textures as they are, without light.
        material.extensions[kUnlit] = tinygltf::Value(tinygltf::Value::Object());
        std::string png;
        if (image && PngFile::encode(*image, png)) {
            tinygltf::Image gltfImage;
            gltfImage.name = name;
            gltfImage.mimeType = "image/png";
            gltfImage.bufferView = view(png.data(), png.size(), -1);
            m_model.images.push_back(gltfImage);
            tinygltf::Texture texture;
            texture.sampler = 0;
            texture.source = int(m_model.images.size()) - 1;
            m_model.textures.push_back(texture);
            material.pbrMetallicRoughness.baseColorTexture.index = int(m_model.textures.size()) - 1;
        } else {
            logLine("Export: cannot save texture " + name);
        }
        m_model.materials.push_back(material);
        return int(m_model.materials.size()) - 1;
    }

    // A mesh of one primitive.
    int mesh(const std::string &name, const Shape &shape, int material)
    {
        tinygltf::Primitive primitive;
        primitive.mode = TINYGLTF_MODE_TRIANGLES;
        primitive.material = material;
        primitive.attributes["POSITION"] = positions(shape.positions);
        primitive.attributes["TEXCOORD_0"] =
            accessor(shape.texture.data(), shape.texture.size(), TINYGLTF_TYPE_VEC2, TINYGLTF_COMPONENT_TYPE_FLOAT,
                     TINYGLTF_TARGET_ARRAY_BUFFER);
        primitive.indices = accessor(shape.indices.data(), shape.indices.size(), TINYGLTF_TYPE_SCALAR,
                                     TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
        tinygltf::Mesh mesh;
        mesh.name = name;
        mesh.primitives.push_back(primitive);
        m_model.meshes.push_back(mesh);
        return int(m_model.meshes.size()) - 1;
    }

    // A node; returns its number.
    int node(tinygltf::Node node)
    {
        m_model.nodes.push_back(std::move(node));
        return int(m_model.nodes.size()) - 1;
    }

    tinygltf::Node &nodeAt(int index) { return m_model.nodes[std::size_t(index)]; }

    tinygltf::Model &finish(int root)
    {
        tinygltf::Scene scene;
        scene.name = "facade";
        scene.nodes.push_back(root);
        m_model.scenes.push_back(scene);
        m_model.defaultScene = 0;
        m_model.buffers[0].data = std::move(m_data);
        return m_model;
    }

private:
    static constexpr const char *kUnlit = "KHR_materials_unlit";

    // A buffer view of bytes, at an offset that is a multiple of 4.
    int view(const void *bytes, std::size_t size, int target)
    {
        m_data.resize((m_data.size() + 3) / 4 * 4, 0);
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = m_data.size();
        view.byteLength = size;
        if (target >= 0)
            view.target = target;
        const auto *first = static_cast<const unsigned char *>(bytes);
        m_data.insert(m_data.end(), first, first + size);
        m_model.bufferViews.push_back(view);
        return int(m_model.bufferViews.size()) - 1;
    }

    int accessor(const void *values, std::size_t count, int type, int componentType, int target)
    {
        const std::size_t components = type == TINYGLTF_TYPE_VEC3 ? 3 : type == TINYGLTF_TYPE_VEC2 ? 2 : 1;
        tinygltf::Accessor accessor;
        accessor.bufferView = view(values, count * 4, target);
        accessor.type = type;
        accessor.componentType = componentType;
        accessor.count = count / components;
        m_model.accessors.push_back(accessor);
        return int(m_model.accessors.size()) - 1;
    }

    // Positions need their bounds (the format asks for them).
    int positions(const std::vector<float> &xyz)
    {
        const int index = accessor(xyz.data(), xyz.size(), TINYGLTF_TYPE_VEC3, TINYGLTF_COMPONENT_TYPE_FLOAT,
                                   TINYGLTF_TARGET_ARRAY_BUFFER);
        std::vector<double> low(3, std::numeric_limits<double>::max());
        std::vector<double> high(3, std::numeric_limits<double>::lowest());
        for (std::size_t i = 0; i < xyz.size(); ++i) {
            low[i % 3] = std::min(low[i % 3], double(xyz[i]));
            high[i % 3] = std::max(high[i % 3], double(xyz[i]));
        }
        m_model.accessors[std::size_t(index)].minValues = low;
        m_model.accessors[std::size_t(index)].maxValues = high;
        return index;
    }

    tinygltf::Model m_model;
    std::vector<unsigned char> m_data;
};

// The wall mesh of the OBJ export; its triangles turned to face the outside
// (+z here), since the frame change keeps their order and the OBJ's face -z.
Shape wallShape(const FacadePolyMesh &mesh, const GltfFrame &frame, int width, int height)
{
    Shape shape;
    for (const auto vertex : mesh.vertices()) {
        const FacadePolyMesh::Point &p = mesh.point(vertex);
        double u = 0.0;
        double v = 0.0;
        FacadeWall::wallTextureCoordinates(p[0], p[1], width, height, u, v);
        shape.add(frame.point({p[0], p[1], FacadeWall::kWallZ}), u, v);
    }
    for (const auto face : mesh.faces()) {
        std::vector<std::uint32_t> corners;
        for (const auto vertex : mesh.fv_range(face))
            corners.push_back(std::uint32_t(vertex.idx()));
        for (std::size_t i = 1; i + 1 < corners.size(); ++i)
            shape.indices.insert(shape.indices.end(), {corners[0], corners[i + 1], corners[i]});
    }
    return shape;
}

Shape windowShape(const HingeBounds &box, const GltfFrame &frame)
{
    Shape shape;
    for (const ExportGeometry::QuadCorner &corner : ExportGeometry::windowQuad(box))
        shape.add(frame.point({double(corner.x), double(corner.y), 0.0}), corner.u, corner.v);
    shape.addPolygon({0, 1, 2, 3});
    return shape;
}

// The leaf box as its node holds it: placed as the OBJ export places it, less
// the turn and the hinge, which are the node's rotation and translation.
Shape leafShape(bool left, const ExportGeometry::LeafPlacement &leaf, const GltfFrame &frame)
{
    ExportGeometry::LeafPlacement unturned = leaf;
    unturned.turn = 0.0;
    unturned.hx = 0.0;
    unturned.hy = 0.0;
    Shape shape;
    for (const ExportGeometry::LeafCorner &corner : ExportGeometry::leafUnitBox(left))
        shape.add(frame.vector(unturned.place(corner.unit)), corner.u, corner.v);
    for (const auto &face : ExportGeometry::kLeafFaces) {
        const auto c = [&face](int i) { return std::uint32_t(face[i]); };
        shape.addPolygon({c(0), c(1), c(2), c(3)});
    }
    return shape;
}

tinygltf::Node leafNode(const std::string &name, bool left, const ExportGeometry::LeafPlacement &leaf,
                        double angle, const GltfFrame &frame)
{
    tinygltf::Node node;
    node.name = name;
    const Point3 hinge = frame.point({leaf.hx, leaf.hy, 0.0});
    node.translation = {hinge.x, hinge.y, hinge.z};
    const double turn = GltfFrame::turnAboutY(leaf.turn);
    node.rotation = {0.0, std::sin(turn / 2), 0.0, std::cos(turn / 2)};
    // The turn is 180 - angle degrees about this axis for both leaves.
    const double axis = GltfFrame::turnAboutY(left ? 1.0 : -1.0);
    tinygltf::Value::Object extras;
    extras["side"] = tinygltf::Value(std::string(left ? "left" : "right"));
    extras["angle"] = tinygltf::Value(angle * 180.0 / QWindowData2D::pi);
    extras["turnAxis"] = tinygltf::Value(
        tinygltf::Value::Array{tinygltf::Value(0.0), tinygltf::Value(axis), tinygltf::Value(0.0)});
    node.extras = tinygltf::Value(extras);
    return node;
}

} // namespace

bool metresPerPixelFor(const QWindowData2D &model, double facadeWidthMetres, double &metresPerPixel,
                       Failure *failure)
{
    if (!std::isfinite(facadeWidthMetres) || facadeWidthMetres <= 0.0)
        return fail(failure, "the facade width must be a positive number of metres");
    if (model.rectifiedImage.isNull())
        return fail(failure, "Export: no facade image, nothing to export");
    metresPerPixel = facadeWidthMetres / model.rectifiedImage.width();
    return true;
}

bool glbBytes(const QWindowData2D &model, double metresPerPixel, std::string &bytes, Failure *failure)
{
    if (!std::isfinite(metresPerPixel) || metresPerPixel <= 0.0)
        return fail(failure, "the facade width must be a positive number of metres");
    if (model.rectifiedImage.isNull())
        return failAndLog(failure, "Export: no facade image, nothing to export");
    const int count = ExportGeometry::exportableWindowCount(model);
    const std::unique_ptr<FacadePolyMesh> wall =
        FacadeWall::triangulate(FacadeWall::facadePolygons(model, count), failure);
    if (!wall)
        return failAndLog(failure, "Export: the facade wall could not be triangulated");
    const int width = model.rectifiedImage.width();
    const int height = model.rectifiedImage.height();
    const GltfFrame frame{metresPerPixel, double(height)};

    SceneBuilder scene;
    tinygltf::Node root;
    root.name = "facade";
    const int rootIndex = scene.node(root);
    tinygltf::Node wallNode;
    wallNode.name = "wall";
    wallNode.mesh = scene.mesh("wall", wallShape(*wall, frame, width, height),
                               scene.material("materialFacade", &model.background));
    // Indices first: a new node may move the others.
    const int wallIndex = scene.node(wallNode);
    scene.nodeAt(rootIndex).children.push_back(wallIndex);

    const int leftMaterial = count > 0 ? scene.material("leftshutter", &model.leftShutterImage) : -1;
    const int rightMaterial = count > 0 ? scene.material("rightshutter", &model.rightShutterImage) : -1;
    const std::vector<FacadeWindow> &windows = *model.currentGroup();
    for (int i = 0; i < count; ++i) {
        const std::size_t at = std::size_t(i);
        const ShutterPair &pair = model.shutters[at];
        const std::string name = formatText("window_%d", i);
        tinygltf::Node window;
        window.name = name;
        window.mesh = scene.mesh(name, windowShape(hingeBounds(pair), frame),
                                 scene.material(name, model.currentImages[at]));
        const int windowIndex = scene.node(window);
        scene.nodeAt(rootIndex).children.push_back(windowIndex);
        for (const bool left : {true, false}) {
            const double angle = left ? windows[at].leftAngle : windows[at].rightAngle;
            const ExportGeometry::LeafPlacement leaf = left ? ExportGeometry::leftLeafPlacement(pair, angle)
                                                            : ExportGeometry::rightLeafPlacement(pair, angle);
            const std::string leafName = name + (left ? "_left" : "_right");
            tinygltf::Node node = leafNode(leafName, left, leaf, angle, frame);
            node.mesh = scene.mesh(leafName, leafShape(left, leaf, frame), left ? leftMaterial : rightMaterial);
            const int leafIndex = scene.node(node);
            scene.nodeAt(windowIndex).children.push_back(leafIndex);
        }
    }

    tinygltf::TinyGLTF writer;
    std::ostringstream stream;
    if (!writer.WriteGltfSceneToStream(&scene.finish(rootIndex), stream, false, true))
        return failAndLog(failure, "Export: the glTF scene could not be written");
    bytes = stream.str();
    return true;
}

bool writeGlb(const QWindowData2D &model, const std::string &path, double metresPerPixel, Failure *failure)
{
    std::string bytes;
    return glbBytes(model, metresPerPixel, bytes, failure) && ExportFiles::createAndWrite(path, bytes, failure);
}

} // namespace GltfExport
